// The field reader on arbitrary bytes. Each field is read as an integer, a number or a text, the first kind tried
// turning with the field's place and falling back to the next kind where the field is not one, so every read
// meets every shape of field. What was read, written by the writer and read again in the same kinds, comes back
// the same, and writing that gives the same bytes again.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/TextFields.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

namespace {

enum class Kind { integer, number, text };

struct Field {
    Kind kind = Kind::text;
    i16 integer = 0;
    f32 number = 0;
    QString text;
};

bool Read(TextFieldReader& r, Field& f)
{
    switch (f.kind) {
        case Kind::integer:
            return r.readInteger(f.integer);
        case Kind::number:
            return r.readNumber(f.number);
        case Kind::text:
            return r.readText(f.text);
    }
    return false;
}

// The next field in the first kind that takes it; false at the end of the data or where no kind can (a field
// cut short). A failed try leaves the reader where it was.
bool ReadAnyKind(TextFieldReader& r, std::size_t place, Field& f)
{
    static constexpr Kind kinds[] = {Kind::integer, Kind::number, Kind::text};
    for (std::size_t k = place % 3; k < 3; ++k) {
        TextFieldReader trial = r;
        f.kind = kinds[k];
        if (Read(trial, f)) {
            r = trial;
            return true;
        }
        // The message of a refused field is built from the field's bytes; it must be safe to make.
        Check(!trial.error().text.isEmpty() && trial.error().line >= 1, "a failed read has no error text");
    }
    return false;
}

QByteArray Written(const std::vector<Field>& fields)
{
    TextFieldWriter w;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const Field& f = fields[i];
        switch (f.kind) {
            case Kind::integer:
                w.integer(f.integer);
                break;
            case Kind::number:
                w.number(f.number);
                break;
            case Kind::text:
                w.text(f.text);
                break;
        }
        // Records of the data files run to a few dozen fields a line.
        if (i % 7 == 6)
            w.endLine();
    }
    w.endLine();
    return w.bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = Bytes(data, size);
    TextFieldReader r(input);
    std::vector<Field> fields;
    Field f;
    while (ReadAnyKind(r, fields.size(), f))
        fields.push_back(f);
    if (fields.empty())
        return 0;

    const QByteArray written = Written(fields);
    TextFieldReader back(written);
    std::vector<Field> reread;
    for (const Field& original : fields) {
        Field g;
        g.kind = original.kind;
        Check(Read(back, g), "a field as written does not read", input, written);
        switch (g.kind) {
            case Kind::integer:
                Check(g.integer == original.integer, "an integer changed by writing", input, written);
                break;
            case Kind::number:
                Check(g.number == original.number, "a number changed by writing", input, written);
                break;
            case Kind::text:
                CheckSameText(original.text, g.text, "a text changed by writing");
                break;
        }
        reread.push_back(g);
    }
    Check(back.atEnd(), "the written fields read back leave data over", input, written);
    Check(Written(reread) == written, "writing the fields read back gives other bytes", written, Written(reread));
    return 0;
}

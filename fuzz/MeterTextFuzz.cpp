// The text exports of the DSP30, IE-45 and PAA3 on arbitrary bytes. The first byte chooses the reader, the second
// the records asked of a PAA3 (first 0..11, last 0..21, also ranges that hold none of its ten); the rest is the
// file. No crash; bytes that do not parse give a line and a reason; a read holds as many tests as the export has
// (one, or the PAA3's records in the range), every level of them a finite number, and nothing past them.

#include <algorithm>
#include <cmath>
#include <variant>

#include "fuzz/FuzzSupport.h"
#include "meters/MeterFiles.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray bytes = Bytes(data + 2, size - 2);
    const int startFile = data[1] % 12;
    const int endFile = data[1] / 12;
    int expected = 1;
    Parsed<MeterTests> read;
    switch (data[0] % 3) {
        case 0:
            read = ParseDsp30(bytes);
            break;
        case 1:
            read = ParseIe45(bytes);
            break;
        default:
            read = ParsePaa3(bytes, startFile, endFile);
            expected = std::max(0, std::min(endFile, 10) - std::max(startFile, 1) + 1);
            break;
    }
    if (const ReadError* error = std::get_if<ReadError>(&read)) {
        Check(error->line >= 1 && !error->text.isEmpty(), "an export that does not parse gives no line or no reason",
              bytes, error->text.toUtf8());
        return 0;
    }
    const MeterTests& tests = std::get<MeterTests>(read);
    Check(tests.count == expected, "not as many tests as the export holds", bytes, QByteArray::number(tests.count));
    Check(!tests.notice, "a text export with a notice about cells", bytes);
    for (int test = 1; test <= 20; ++test) {
        for (int band = 1; band <= 20; ++band) {
            const f32 level = tests.levels(test, band);
            if (test <= tests.count && band <= 18)
                Check(std::isfinite(level), "a level that is no finite number", bytes);
            else
                Check(level == 0, "a level written outside the tests", bytes);
        }
    }
    return 0;
}

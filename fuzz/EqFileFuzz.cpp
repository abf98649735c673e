// The EQ file reader on arbitrary bytes: no crash, the image unchanged by a file that does not read, and a file
// that reads, written again, reads to the same image.

#include <cstddef>
#include <cstdint>

#include "core/EqFile.h"
#include "core/LumoData.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

namespace {

LumoData InWorkFolder()
{
    LumoData d;
    d.AppPath = WorkFolder();
    d.MG24Folder = WorkFolder();
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QByteArray untouched = EqFileBytes(LumoData{});
    const QByteArray input = Bytes(data, size);
    WriteWorkFile(QStringLiteral("FUZZ.EQ"), input);

    LumoData d = InWorkFolder();
    QuietPrompter prompter;
    i16 failed = 0;
    i16 notFound = 0;
    ReadEqFile(d, prompter, QStringLiteral("FUZZ.EQ"), failed, notFound);
    Check(!notFound, "an EQ file that is there was not found", input);
    if (failed) {
        Check(prompter.messages == 1, "an EQ file that does not read must say so once", input);
        Check(EqFileBytes(d) == untouched, "an EQ file that does not read changed the image", input);
        return 0;
    }
    Check(prompter.messages == 0, "an EQ file that reads showed a message", input, prompter.lastText.toUtf8());

    const QByteArray written = EqFileBytes(d);
    WriteWorkFile(QStringLiteral("AGAIN.EQ"), written);
    LumoData again = InWorkFolder();
    ReadEqFile(again, prompter, QStringLiteral("AGAIN.EQ"), failed, notFound);
    Check(!failed, "the EQ file as written does not read", input, written);
    Check(EqFileBytes(again) == written, "the EQ file as written reads to another image", written, EqFileBytes(again));
    return 0;
}

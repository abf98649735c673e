// The EQ file reader on arbitrary bytes: no crash, the image unchanged by a file that does not read, and a file
// that reads, written again, reads to the same image.

#include "core/EqFile.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const DataFile eq{QStringLiteral("FUZZ.EQ"),
                             [](LumoData& d, Prompter& prompter, const QString&, i16& failed) {
                                 i16 notFound = 0;
                                 ReadEqFile(d, prompter, QStringLiteral("FUZZ.EQ"), failed, notFound);
                                 Check(!notFound, "an EQ file that is there was not found");
                             },
                             EqFileBytes};
    ReadWriteRead(eq, data, size);
    return 0;
}

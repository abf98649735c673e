// The spectrum database reader on arbitrary bytes: no crash, the database unchanged by a file that does not load,
// and a file that loads, saved again, loads to the same entries.

#include "core/SpectrumDatabase.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const DataFile database{SpectrumDatabaseFileName,
                                   [](LumoData& d, Prompter& prompter, const QString&, i16& failed) {
                                       LoadSpectrumDatabase(d, prompter, failed);
                                   },
                                   SpectrumDatabaseBytes};
    if (const auto read = ReadWriteRead(database, data, size)) {
        for (int i = 0; i < SpectrumCount; ++i)
            CheckSameText(read->first->SpecName(i), read->again->SpecName(i), "a spectrum name changed by saving");
    }
    return 0;
}

// The spectrum database parser on arbitrary bytes: no crash, a line and a reason for bytes that do not parse, and
// bytes that parse, saved again, parse to the same entries.

#include "core/SpectrumDatabase.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto read = ReadWriteRead({ParseSpectrumDatabase, SpectrumDatabaseBytes}, data, size)) {
        for (int i = 0; i < SpectrumCount; ++i)
            CheckSameText(read->first.SpecName(i), read->again.SpecName(i), "a spectrum name changed by saving");
    }
    return 0;
}

// The EQ file parser on arbitrary bytes: no crash, a line and a reason for bytes that do not parse, and bytes that
// parse, written again, parse to the same image.

#include "core/EqFile.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadWriteRead({ParseEqFile, EqFileBytes}, data, size);
    return 0;
}

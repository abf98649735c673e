// A frequency-response export on arbitrary bytes. No crash; a refusal says why; the one test's band levels are
// ones the grid takes.

#include "fuzz/ExportCheck.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    CheckExportImport(ParseFrequencyResponse(bytes), 1, bytes);
    return 0;
}

// The folder file parser on arbitrary bytes: no crash, a line and a reason for bytes that do not parse, and bytes
// that parse, written again, parse to the same settings.

#include "core/FolderFile.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto read = ReadWriteRead({ParseFolderFile, FolderFileBytes}, data, size)) {
        CheckSameText(read->first.CommText, read->again.CommText, "the port text changed by saving");
        for (const auto folder : {&LumoData::MG24Folder, &LumoData::Dsp30Folder, &LumoData::Paa3Folder,
                                  &LumoData::Bk2250Folder, &LumoData::Ie45Folder})
            CheckSameText(read->first.*folder, read->again.*folder, "a software folder changed by saving");
        CheckSameText(read->first.CommDevice, read->again.CommDevice, "the serial device changed by saving");
        Check(read->first.CommBaud == read->again.CommBaud, "the baud rate changed by saving");
    }
    return 0;
}

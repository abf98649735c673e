// The folder file reader on arbitrary bytes: no crash, the settings unchanged by a file that does not read, and a
// file that reads, written again, reads to the same settings.

#include "core/FolderFile.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const DataFile folders{FolderFileName,
                                  [](LumoData& d, Prompter& prompter, const QString&, i16& failed) {
                                      ReadFolderFile(d, prompter, failed);
                                  },
                                  FolderFileBytes};
    if (const auto read = ReadWriteRead(folders, data, size)) {
        const LumoData& a = *read->first;
        const LumoData& b = *read->again;
        CheckSameText(a.CommText, b.CommText, "the port text changed by saving");
        for (const auto folder : {&LumoData::MG24Folder, &LumoData::Dsp30Folder, &LumoData::Paa3Folder,
                                  &LumoData::Bk2250Folder, &LumoData::Ie45Folder})
            CheckSameText(a.*folder, b.*folder, "a software folder changed by saving");
    }
    return 0;
}

// The folder file reader on arbitrary bytes: no crash, the settings unchanged by a file that does not read, and a
// file that reads, written again, reads to the same settings.

#include <cstddef>
#include <cstdint>

#include "core/FolderFile.h"
#include "core/LumoData.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

namespace {

LumoData InWorkFolder()
{
    LumoData d;
    d.AppPath = WorkFolder();
    return d;
}

void CheckSameTexts(const LumoData& a, const LumoData& b)
{
    CheckSameText(a.CommText, b.CommText, "the port text changed by saving");
    CheckSameText(a.MG24Folder, b.MG24Folder, "the ZUV-AR24 folder changed by saving");
    CheckSameText(a.Dsp30Folder, b.Dsp30Folder, "the DSP30 folder changed by saving");
    CheckSameText(a.Paa3Folder, b.Paa3Folder, "the PAA3 folder changed by saving");
    CheckSameText(a.Bk2250Folder, b.Bk2250Folder, "the 2250 folder changed by saving");
    CheckSameText(a.Ie45Folder, b.Ie45Folder, "the IE45 folder changed by saving");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QByteArray untouched = FolderFileBytes(LumoData{});
    const QByteArray input = Bytes(data, size);
    WriteWorkFile(FolderFileName, input);

    LumoData d = InWorkFolder();
    QuietPrompter prompter;
    i16 failed = 0;
    ReadFolderFile(d, prompter, failed);
    if (failed) {
        Check(prompter.messages == 1, "a folder file that does not read must say so once", input);
        Check(FolderFileBytes(d) == untouched, "a folder file that does not read changed the settings", input);
        return 0;
    }
    Check(prompter.messages == 0, "a folder file that reads showed a message", input, prompter.lastText.toUtf8());

    const QByteArray saved = FolderFileBytes(d);
    WriteWorkFile(FolderFileName, saved);
    LumoData again = InWorkFolder();
    ReadFolderFile(again, prompter, failed);
    Check(!failed, "the folder file as written does not read", input, saved);
    Check(FolderFileBytes(again) == saved, "the folder file as written reads to other settings", saved,
          FolderFileBytes(again));
    CheckSameTexts(d, again);
    return 0;
}

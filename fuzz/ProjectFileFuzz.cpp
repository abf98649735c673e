// The project file reader on arbitrary bytes: no crash, nothing changed by a file that does not open, and a file
// that opens, saved again, opens to the same project.

#include <cstddef>
#include <cstdint>

#include "core/LumoData.h"
#include "core/ProjectFile.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

namespace {

void CheckSameTexts(const LumoData& a, const LumoData& b)
{
    CheckSameText(a.ProjectInfo(1), b.ProjectInfo(1), "project name changed by saving");
    CheckSameText(a.ProjectInfo(2), b.ProjectInfo(2), "project date changed by saving");
    CheckSameText(a.ProjectEqName, b.ProjectEqName, "EQ file name changed by saving");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QByteArray untouched = ProjectFileBytes(LumoData{});
    const QByteArray input = Bytes(data, size);

    LumoData d;
    QuietPrompter prompter;
    i16 failed = 0;
    OpenProjectFile(d, prompter, WriteWorkFile(QStringLiteral("FUZZ.MSK"), input), failed);
    if (failed) {
        Check(prompter.messages == 1, "a project file that does not open must say so once", input);
        Check(ProjectFileBytes(d) == untouched, "a project file that does not open changed the project", input);
        return 0;
    }
    Check(prompter.messages == 0, "a project file that opens showed a message", input, prompter.lastText.toUtf8());

    const QByteArray saved = ProjectFileBytes(d);
    LumoData again;
    OpenProjectFile(again, prompter, WriteWorkFile(QStringLiteral("AGAIN.MSK"), saved), failed);
    Check(!failed, "the project file as saved does not open", input, saved);
    Check(ProjectFileBytes(again) == saved, "the project file as saved opens to another project", saved,
          ProjectFileBytes(again));
    CheckSameTexts(d, again);
    return 0;
}

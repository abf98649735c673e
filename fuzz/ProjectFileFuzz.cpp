// The project file reader on arbitrary bytes: no crash, nothing changed by a file that does not open, and a file
// that opens, saved again, opens to the same project.

#include "core/ProjectFile.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const DataFile project{
        QStringLiteral("FUZZ.MSK"),
        [](LumoData& d, Prompter& prompter, const QString& path, i16& failed) {
            OpenProjectFile(d, prompter, path, failed);
        },
        ProjectFileBytes};
    if (const auto read = ReadWriteRead(project, data, size)) {
        const LumoData& a = *read->first;
        const LumoData& b = *read->again;
        CheckSameText(a.ProjectInfo(1), b.ProjectInfo(1), "project name changed by saving");
        CheckSameText(a.ProjectInfo(2), b.ProjectInfo(2), "project date changed by saving");
        CheckSameText(a.ProjectEqName, b.ProjectEqName, "EQ file name changed by saving");
    }
    return 0;
}

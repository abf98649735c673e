// The project file parser on arbitrary bytes: no crash, a line and a reason for bytes that do not parse, and bytes
// that parse, saved again, parse to the same project.

#include "core/ProjectFile.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto read = ReadWriteRead({ParseProjectFile, ProjectFileBytes}, data, size)) {
        const LumoData& a = read->first;
        const LumoData& b = read->again;
        CheckSameText(a.ProjectInfo(1), b.ProjectInfo(1), "project name changed by saving");
        CheckSameText(a.ProjectInfo(2), b.ProjectInfo(2), "project date changed by saving");
        CheckSameText(a.ProjectEqName, b.ProjectEqName, "EQ file name changed by saving");
    }
    return 0;
}

#include "core/Project.h"

#include "core/FolderFile.h"
#include "core/ProgramFolder.h"
#include "core/ProjectFile.h"
#include "core/SpectrumDatabase.h"
#include "core/Tables.h"

namespace kov {

bool LoadProgramData(LumoData& d, Prompter& prompter)
{
    InitTables(d);
    i16 failed = 0;
    LoadSpectrumDatabase(d, prompter, failed);
    if (failed)
        return false;
    ReadFolderFile(d, prompter, failed);
    return failed == 0;
}

bool StartProgramData(LumoData& d, Prompter& prompter)
{
    if (!SetUpProgramFolder(prompter) || !LoadProgramData(d, prompter))
        return false;
    d.ProjectStage = 0;
    d.SaveConfirmed = 0;
    MarkProjectSaved(d);
    return true;
}

bool NewProject(LumoData& d, Prompter& prompter)
{
    d.CurrentChannel = 1;
    d.ProjectStage = 0;
    d.SaveConfirmed = 0;
    d.ProjectFileName.clear();
    d.ProjectEqName.clear();
    d.Generator = GeneratorNone;
    d.PageSpecOption = 0;
    d.ProjectInfo(1).clear();
    d.ProjectInfo(2).clear();
    d.MaskBandTolerance = DefaultBandTolerance;
    d.MaskLevelTolerance = DefaultLevelTolerance;
    d.MaskPositionMargin = DefaultPositionMargin;
    // Only the six EQ controls the project file holds; 7 and 8 keep their values.
    for (int p = 1; p <= 2; ++p) {
        for (int j = 1; j <= 6; ++j) {
            d.PageEqFreq(p, j) = 0;
            d.PageEqWidth(p, j) = 0;
            d.PageEqLevel(p, j) = 0;
        }
    }
    for (int c = 1; c <= 6; ++c) {
        d.MaskReserved(c) = 0;
        d.PageChannelOpen(c) = 0;
        d.MaskSpectrumIndex(c) = 0;
        d.MaskTestCount(c) = 0;
        d.MaskHighCutFreq(c) = 0;
        d.MaskLowCutFreq(c) = 100;
        d.MaskHighCutSlope(c) = 12;
        d.MaskLowCutSlope(c) = -12;
        d.MaskGainChange(c) = 0;
        for (int b = FirstBand; b <= LastBand; ++b) {
            d.MaskFinal(c, b) = 0;
            d.MaskFinalOctave(c, b) = 0;
            d.PageSpectrum(c, b) = 0;
            d.MaskAverage(c, b) = 0;
            d.MaskCorrection(c, b) = 0;
            for (int t = 1; t <= 10; ++t)
                d.MaskTest(t, c, b) = 0;
        }
    }
    if (!LoadProgramData(d, prompter))
        return false;
    MarkProjectSaved(d);
    return true;
}

}  // namespace kov

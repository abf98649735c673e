#include <gtest/gtest.h>

#include <tuple>

#include "meters/MeterChoice.h"

namespace kov {
namespace {

TEST(MeterChoiceTest, EachMeterAsksWithItsOwnDialogAndSaysSoWhenNothingIsChosen)
{
    const char* retrieve = "File to Retrieve";
    const MsgIcon info = MsgIcon::Information;
    // (meter, title, filter, extension, message when nothing is chosen, its icon)
    const std::tuple<DownloadSource, const char*, const char*, const char*, const char*, MsgIcon> cases[] = {
        {DownloadSource::Dsp30, retrieve, "DSP30Files|*.txt", "txt", "No DSP30 file has been chosen", info},
        {DownloadSource::Bk2250, retrieve, "B&K2250|*.xls;*.xlsx", "txt", "No B&K2250 file has been chosen", info},
        {DownloadSource::Ie45, retrieve, "Ivie-45 Files |*.ivi", "ivi", "No file has been chosen", info},
        {DownloadSource::Paa3, retrieve, "PAA3Files|*.paa", "paa", "No PHONIC file has been chosen", info},
        {DownloadSource::Excel, "Choose File to Retrieve - NOT KOV", "Excel Workbook |*.XLS;*.xlsx", "XLS",
         "No Excel file was chosen. Try again.", MsgIcon::Critical},
    };
    for (const auto& [source, title, filter, extension, noFile, icon] : cases) {
        SCOPED_TRACE(filter);
        LumoData d;
        d.AppPath = QStringLiteral("/opt/kov");
        const MeterFileChoice choice = ChooseMeterFile(d, source);
        EXPECT_EQ(std::tuple(choice.request.title, choice.request.filter, choice.request.defaultExtension),
                  std::tuple(QLatin1String(title), QLatin1String(filter), QLatin1String(extension)));
        EXPECT_EQ(choice.noFileChosen, (Message{QLatin1String(noFile), QStringLiteral("File Error"), icon}));
    }
}

TEST(MeterChoiceTest, TheMetersFolderFallsBackToTheProgramsAndGainsItsSeparator)
{
    // (meter, its folder setting, folder stored, folder the dialog starts in and the one stored back)
    const std::tuple<DownloadSource, QString LumoData::*, const char*, const char*> cases[] = {
        {DownloadSource::Dsp30, &LumoData::Dsp30Folder, "", "/opt/kov/"},
        {DownloadSource::Dsp30, &LumoData::Dsp30Folder, "   ", "/opt/kov/"},
        {DownloadSource::Paa3, &LumoData::Paa3Folder, "/data/paa", "/data/paa/"},
        {DownloadSource::Bk2250, &LumoData::Bk2250Folder, "/data/bk/", "/data/bk/"},
        {DownloadSource::Bk2250, &LumoData::Bk2250Folder, "C:\\BK2250\\", "C:\\BK2250\\"},
        {DownloadSource::Ie45, &LumoData::Ie45Folder, "", "/opt/kov/"},
        // Only a truly empty IE-45 folder counts as none.
        {DownloadSource::Ie45, &LumoData::Ie45Folder, " ", " /"},
    };
    for (const auto& [source, setting, stored, asked] : cases) {
        LumoData d;
        d.AppPath = QStringLiteral("/opt/kov");
        d.*setting = QLatin1String(stored);
        const MeterFileChoice choice = ChooseMeterFile(d, source);
        EXPECT_EQ(choice.request.folder, QLatin1String(asked)) << '"' << stored << '"';
        EXPECT_EQ(d.*setting, QLatin1String(asked));
    }
}

TEST(MeterChoiceTest, TheExcelImportStartsInTheProgramsFolderAndStoresNoFolder)
{
    LumoData d;
    d.AppPath = QStringLiteral("/opt/kov");
    d.Dsp30Folder = QStringLiteral("/data/dsp");
    EXPECT_EQ(ChooseMeterFile(d, DownloadSource::Excel).request.folder, QStringLiteral("/opt/kov"));
    EXPECT_EQ(d.Dsp30Folder, QStringLiteral("/data/dsp"));
}

}  // namespace
}  // namespace kov

#include <gtest/gtest.h>

#include "meters/MeterChoice.h"

namespace kov {
namespace {

struct ChoiceCase {
    DownloadSource source;
    const char* title;
    const char* filter;
    const char* extension;
    const char* noFile;
    MsgIcon icon;
};

TEST(MeterChoiceTest, EachMeterAsksWithItsOwnDialogAndSaysSoWhenNothingIsChosen)
{
    const char* retrieve = "File to Retrieve";
    const ChoiceCase cases[] = {
        {DownloadSource::Dsp30, retrieve, "DSP30Files|*.txt", "txt", "No DSP30 file has been chosen",
         MsgIcon::Information},
        {DownloadSource::Bk2250, retrieve, "B&K2250|*.xls;*.xlsx", "txt", "No B&K2250 file has been chosen",
         MsgIcon::Information},
        {DownloadSource::Ie45, retrieve, "Ivie-45 Files |*.ivi", "ivi", "No file has been chosen",
         MsgIcon::Information},
        {DownloadSource::Paa3, retrieve, "PAA3Files|*.paa", "paa", "No PHONIC file has been chosen",
         MsgIcon::Information},
        {DownloadSource::Excel, "Choose File to Retrieve - NOT KOV", "Excel Workbook |*.XLS;*.xlsx", "XLS",
         "No Excel file was chosen. Try again.", MsgIcon::Critical},
    };
    for (const ChoiceCase& c : cases) {
        LumoData d;
        d.AppPath = QStringLiteral("/opt/kov");
        const MeterFileChoice choice = ChooseMeterFile(d, c.source);
        EXPECT_EQ(choice.request.title, QLatin1String(c.title)) << c.filter;
        EXPECT_EQ(choice.request.filter, QLatin1String(c.filter));
        EXPECT_EQ(choice.request.defaultExtension, QLatin1String(c.extension));
        EXPECT_EQ(choice.noFileChosen, (Message{QLatin1String(c.noFile), QStringLiteral("File Error"), c.icon}));
    }
}

struct FolderCase {
    DownloadSource source;
    const char* stored;
    const char* asked;  // the folder the dialog starts in, and the one stored back
};

TEST(MeterChoiceTest, TheMetersFolderFallsBackToTheProgramsAndGainsItsSeparator)
{
    const FolderCase cases[] = {
        {DownloadSource::Dsp30, "", "/opt/kov/"},
        {DownloadSource::Dsp30, "   ", "/opt/kov/"},
        {DownloadSource::Paa3, "/data/paa", "/data/paa/"},
        {DownloadSource::Bk2250, "/data/bk/", "/data/bk/"},
        {DownloadSource::Bk2250, "C:\\BK2250\\", "C:\\BK2250\\"},
        {DownloadSource::Ie45, "", "/opt/kov/"},
        // Only a truly empty IE-45 folder counts as none.
        {DownloadSource::Ie45, " ", " /"},
    };
    for (const FolderCase& c : cases) {
        LumoData d;
        d.AppPath = QStringLiteral("/opt/kov");
        QString* folder = c.source == DownloadSource::Dsp30    ? &d.Dsp30Folder
                          : c.source == DownloadSource::Paa3   ? &d.Paa3Folder
                          : c.source == DownloadSource::Bk2250 ? &d.Bk2250Folder
                                                               : &d.Ie45Folder;
        *folder = QLatin1String(c.stored);
        const MeterFileChoice choice = ChooseMeterFile(d, c.source);
        EXPECT_EQ(choice.request.folder, QLatin1String(c.asked)) << '"' << c.stored << '"';
        EXPECT_EQ(*folder, QLatin1String(c.asked));
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

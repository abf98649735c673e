#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <vector>

#include "tests/masking/ui/MaskFixture.h"

namespace kov {
namespace {

// The Excel data sheet shipped beside the program (KOV.XLS), imported into the grid of channel 1 of a DA2500
// project through the "Excel" button, as an installer imports the copy they filled in on site.
class ExcelDataSheetTest : public test::MaskFixture {
protected:
    void SetUp() override
    {
        MaskFixture::SetUp();
        project(GeneratorDA2500, 1);
        open(1);
        clickEntry(2);
        press("CmdPick");
    }
};

struct Cell {
    int test;
    int band;
    const char* text;
};

struct Sheet {
    QString file;
    int count;
    std::vector<Cell> cells;
    QString message;  // what the grid says after the hand-over, if anything
};

TEST_F(ExcelDataSheetTest, TheColumnsFilledInOnTheShippedSheetBecomeTheTests)
{
    const Sheet sheets[] = {
        // The shipped sheet with tests 1 to 6 filled in by the script that writes it
        // (tools/data/make_kov_xls.py --fill): level 58.0 - 1.5 per band + 0.7 per test.
        {QStringLiteral(KOV_METER_FIXTURES_DIR "/kov_filled.xls"),
         6,
         {{1, 1, "58.0"}, {3, 9, "47.4"}, {6, 18, "36.0"}},
         QString()},
        // As shipped: every column empty, so none is a test, and there is nothing to average.
        {folder.file(QStringLiteral("KOV.XLS")),
         0,
         {},
         QStringLiteral("Average could not be calculated. Equalizaton cannot be continued with these data.")},
    };
    for (const Sheet& sheet : sheets) {
        SCOPED_TRACE(sheet.file.toStdString());
        prompter.clear();
        prompter.answerOpenFile(sheet.file);
        if (!sheet.message.isEmpty())
            prompter.answer(MsgAnswer::Ok);
        press("CmdDownloadEX");
        // The dialog opens where the sheet is shipped.
        ASSERT_EQ(prompter.openRequests().size(), 1u);
        EXPECT_TRUE(QFile::exists(QDir(prompter.openRequests()[0].folder).filePath(QStringLiteral("KOV.XLS"))));
        ASSERT_EQ(prompter.messages().size(), sheet.message.isEmpty() ? 0u : 1u);
        if (!sheet.message.isEmpty()) {
            EXPECT_EQ(prompter.messages()[0].text, sheet.message);
        }
        EXPECT_EQ(d->MaskTestCountEdit(1), sheet.count);
        EXPECT_EQ(mask->grid().count(), sheet.count);
        for (const Cell& x : sheet.cells)
            EXPECT_EQ(cell(x.test, x.band)->text(), QLatin1String(x.text)) << x.test << " " << x.band;
        EXPECT_FALSE(cell(sheet.count + 1, 1)->isVisible());
    }
}

}  // namespace
}  // namespace kov

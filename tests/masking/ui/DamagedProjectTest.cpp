#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QPushButton>

#include <memory>

#include "core/LumoMainWindow.h"
#include "core/ProjectFile.h"
#include "core/WindowPlacement.h"
#include "masking/MaskWindow.h"
#include "tests/fixtures/HandBuiltProject.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/TestClock.h"

namespace kov {
namespace {

using test::Control;
using test::FileLines;
using test::JoinLines;
using test::LetEventsRun;
using test::WaitUntilActive;

// The golden project with field `position` of line `line` replaced; commas inside a quoted text separate nothing.
QByteArray WithField(const QByteArray& file, int line, int position, const QByteArray& value)
{
    QList<QByteArray> lines = FileLines(file);
    QList<QByteArray> fields{QByteArray()};
    bool quoted = false;
    for (const char c : lines[line - 1]) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted)
            fields.append(QByteArray());
        else
            fields.back().append(c);
    }
    fields[position - 1] = value;
    lines[line - 1] = fields.join(',');
    return JoinLines(lines);
}

struct Damage {
    const char* field;
    int line;
    int position;
    const char* written;
    const char* readAs;  // what the field holds once read, as the file would say it; nullptr: the file is refused
};

constexpr const char* Refused = nullptr;

// Slot s of the golden file begins on line 21 + 202 (s - 1).
const Damage Damages[] = {
    {"Generator", 1, 4, "-1", Refused},
    {"Generator", 1, 4, "7", Refused},
    {"Generator", 1, 4, "32767", Refused},
    {"Generator", 1, 4, "0", "0"},
    {"Generator", 1, 4, "6", "6"},
    {"ProjectStage", 1, 3, "-1", "2"},
    {"ProjectStage", 1, 3, "4", "2"},
    {"ProjectStage", 1, 3, "32767", "2"},
    {"ProjectStage", 1, 3, "0", "0"},
    {"PageSpecOption", 1, 5, "-1", "0"},
    {"PageSpecOption", 1, 5, "6", "0"},
    {"PageSpecOption", 1, 5, "5", "5"},
    {"PageSpecOption", 1, 5, "32767", "0"},
    {"PageSpecOption", 1, 5, "1", "1"},
    {"PageSpeakerOption(1)", 2, 2, "-1", "0"},
    {"PageSpeakerOption(1)", 2, 2, "5", "0"},
    {"PageSpeakerOption(1)", 2, 2, "32767", "0"},
    {"PageSpeakerOption(1)", 2, 2, "4", "4"},
    {"PageSpeakerOption(2)", 2, 3, "5", "0"},
    {"ProjectEqName", 2, 1, "\"../../x.EQ\"", Refused},
    {"ProjectEqName", 2, 1, "\"..\\X.EQ\"", Refused},
    {"ProjectEqName", 2, 1, "\"/tmp/X.EQ\"", Refused},
    {"ProjectEqName", 2, 1, "\"C:\\MG24\\X.EQ\"", Refused},
    {"ProjectEqName", 2, 1, "\"..\"", Refused},
    {"ProjectEqName", 2, 1, "\"A..B.EQ\"", "\"A..B.EQ\""},
    {"ProjectEqName", 2, 1, "\"\"", "\"\""},
    {"MaskTestCount(1)", 21, 1, "-1", Refused},
    {"MaskTestCount(1)", 21, 1, "11", Refused},
    {"MaskTestCount(1)", 21, 1, "32767", Refused},
    {"MaskTestCount(1)", 21, 1, "10", "10"},
    {"MaskTestCount(6)", 1031, 1, "11", Refused},
    {"MaskSpectrumIndex(1)", 21, 8, "-1", Refused},
    {"MaskSpectrumIndex(1)", 21, 8, "21", Refused},
    {"MaskSpectrumIndex(1)", 21, 8, "20.6", Refused},
    {"MaskSpectrumIndex(1)", 21, 8, "32767", Refused},
    {"MaskSpectrumIndex(1)", 21, 8, "20", "20"},
    {"MaskSpectrumIndex(6)", 1031, 8, "21", Refused},
    {"EqPageChannel(1)", 22, 1, "-1", "0"},
    {"EqPageChannel(1)", 22, 1, "2", "0"},
    {"EqPageChannel(1)", 22, 1, "32767", "0"},
    {"EqPageChannel(4)", 628, 1, "4", "4"},
    {"EqPageChannel(4)", 628, 1, "3", "0"},
};

class DamagedProjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(golden.isEmpty()) << "golden HANDBUILT.MSK is missing";
        ASSERT_TRUE(Main(*d, prompter, main));
        d->MG24Folder = folder.path();
    }

    // As the channel's menu item does it, whether or not the menus show the item for this product and stage.
    void openAndCloseMask(int ch)
    {
        SCOPED_TRACE(ch);
        d->CurrentChannel = static_cast<i16>(ch);
        Mask mask(*d, prompter, clock, &main);
        CenterAndShowForm(&mask, 8000, 8000);
        ASSERT_TRUE(WaitUntilActive(&mask));
        // Into the list, as the installer goes to choose a shape, and on to the grid where a shape is chosen.
        Control<QListWidget>(mask, "LstSpec")->setFocus(Qt::TabFocusReason);
        LetEventsRun();
        if (auto* choose = Control<QPushButton>(mask, "CmdPick"); choose->isEnabled()) {
            choose->click();
            LetEventsRun();
        }
        prompter.answer(MsgAnswer::Ok);  // to the exit question
        Control<QPushButton>(mask, "CmdCancel")->click();
        LetEventsRun();
        EXPECT_FALSE(mask.isVisible());
    }

    void openDamaged(const Damage& c)
    {
        const QString name = QStringLiteral("DAMAGED.MSK");
        folder.write(name, WithField(golden, c.line, c.position, c.written));
        prompter.clear();
        const LumoData before = *d;
        i16 failed = 0;
        if (c.readAs == Refused) {
            prompter.answer(MsgAnswer::Ok);
            OpenProjectFile(*d, prompter, folder.file(name), failed);
            EXPECT_EQ(failed, -1);
            EXPECT_TRUE(*d == before);
            ASSERT_EQ(prompter.messages().size(), 1u);
            const auto& m = prompter.messages().front();
            const QString place = QStringLiteral(" in %1 occured on line %2.")
                                      .arg(QDir::toNativeSeparators(folder.file(name)))
                                      .arg(c.line);
            EXPECT_TRUE(m.text.endsWith(place)) << m.text.toStdString();
            EXPECT_EQ(m.title, QStringLiteral("File Error"));
            EXPECT_EQ(m.icon, MsgIcon::Critical);
            return;
        }
        OpenProjectFile(*d, prompter, folder.file(name), failed);
        ASSERT_EQ(failed, 0);
        // Everything else exactly as the file holds it.
        EXPECT_TRUE(ProjectFileBytes(*d) == WithField(golden, c.line, c.position, c.readAs));
        main.updateMainMenus();
        for (int ch = 1; ch <= 6; ++ch)
            openAndCloseMask(ch);
    }

    const QByteArray golden = test::GoldenFile(QStringLiteral("HANDBUILT.MSK"));
    test::TempProgramFolder folder;
    test::ScriptedPrompter prompter;
    test::TestClock clock;
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
    LumoMain main{*d, prompter};
};

TEST_F(DamagedProjectTest, AnIndexingFieldIsRefusedOrReadIntoRangeAndEveryWindowWorksOnWhatWasRead)
{
    for (const Damage& c : Damages) {
        SCOPED_TRACE(std::string(c.field) + " = " + c.written);
        openDamaged(c);
    }
}

}  // namespace
}  // namespace kov

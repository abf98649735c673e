#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <vector>

#include "core/ProjectFile.h"
#include "masking/MaskWindow.h"
#include "tests/fixtures/HandBuiltProject.h"
#include "tests/support/WindowTest.h"

namespace kov {
namespace {

using test::FileLines;
using test::JoinLines;
using test::LetEventsRun;

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

constexpr const char* Refused = nullptr;

struct Damage {
    const char* field;
    int line;
    int position;
    // What is written, and what the field holds once read, as the file would say it (Refused: the file is refused).
    std::vector<std::pair<const char*, const char*>> values;
};

// Slot s of the golden file begins on line 21 + 202 (s - 1).
// clang-format off
const Damage Damages[] = {
    {"Generator", 1, 4, {{"-1", Refused}, {"7", Refused}, {"32767", Refused}, {"0", "0"}, {"6", "6"}}},
    {"ProjectStage", 1, 3, {{"-1", "2"}, {"4", "2"}, {"32767", "2"}, {"0", "0"}}},
    {"PageSpecOption", 1, 5, {{"-1", "0"}, {"6", "0"}, {"5", "5"}, {"32767", "0"}, {"1", "1"}}},
    {"PageSpeakerOption(1)", 2, 2, {{"-1", "0"}, {"5", "0"}, {"32767", "0"}, {"4", "4"}}},
    {"PageSpeakerOption(2)", 2, 3, {{"5", "0"}}},
    {"ProjectEqName", 2, 1, {{"\"../../x.EQ\"", Refused}, {"\"..\\X.EQ\"", Refused}, {"\"/tmp/X.EQ\"", Refused},
                             {"\"C:\\MG24\\X.EQ\"", Refused}, {"\"..\"", Refused}, {"\"A..B.EQ\"", "\"A..B.EQ\""},
                             {"\"\"", "\"\""}}},
    {"MaskTestCount(1)", 21, 1, {{"-1", Refused}, {"11", Refused}, {"32767", Refused}, {"10", "10"}}},
    {"MaskTestCount(6)", 1031, 1, {{"11", Refused}}},
    {"MaskSpectrumIndex(1)", 21, 8, {{"-1", Refused}, {"21", Refused}, {"20.6", Refused}, {"32767", Refused},
                                     {"20", "20"}}},
    {"MaskSpectrumIndex(6)", 1031, 8, {{"21", Refused}}},
    {"EqPageChannel(1)", 22, 1, {{"-1", "0"}, {"2", "0"}, {"32767", "0"}}},
    {"EqPageChannel(4)", 628, 1, {{"4", "4"}, {"3", "0"}}},
};
// clang-format on

class DamagedProjectTest : public test::WindowTest<Mask> {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(golden.isEmpty()) << "golden HANDBUILT.MSK is missing";
        WindowTest::SetUp();
        d->MG24Folder = folder.path();
    }

    // As the channel's menu item does it, whether or not the menus show the item for this product and stage.
    void openAndCloseMask(int ch)
    {
        SCOPED_TRACE(ch);
        d->CurrentChannel = static_cast<i16>(ch);
        window = std::make_unique<Mask>(*d, prompter, clock, &main);
        CenterAndShowForm(window.get(), 8000, 8000);
        ASSERT_TRUE(test::WaitUntilActive(window.get()));
        // Into the list, as the installer goes to choose a shape, and on to the grid where a shape is chosen.
        c<QListWidget>("LstSpec")->setFocus(Qt::TabFocusReason);
        LetEventsRun();
        if (enabled("CmdPick"))
            press("CmdPick");
        prompter.answer(MsgAnswer::Ok);  // to the exit question
        c<QPushButton>("CmdCancel")->click();
        LetEventsRun();
        EXPECT_FALSE(window->isVisible());
        window.reset();
    }

    void openDamaged(const Damage& c, const char* written, const char* readAs)
    {
        const QString name = QStringLiteral("DAMAGED.MSK");
        folder.write(name, WithField(golden, c.line, c.position, written));
        prompter.clear();
        const LumoData before = *d;
        i16 failed = 0;
        if (readAs == Refused) {
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
        EXPECT_TRUE(ProjectFileBytes(*d) == WithField(golden, c.line, c.position, readAs));
        main.updateMainMenus();
        for (int ch = 1; ch <= 6; ++ch)
            openAndCloseMask(ch);
    }

    const QByteArray golden = test::GoldenFile(QStringLiteral("HANDBUILT.MSK"));
};

TEST_F(DamagedProjectTest, AnIndexingFieldIsRefusedOrReadIntoRangeAndEveryWindowWorksOnWhatWasRead)
{
    for (const Damage& c : Damages) {
        for (const auto& [written, readAs] : c.values) {
            SCOPED_TRACE(std::string(c.field) + " = " + written);
            openDamaged(c, written, readAs);
        }
    }
}

}  // namespace
}  // namespace kov

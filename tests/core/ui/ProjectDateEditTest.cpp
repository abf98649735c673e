#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <string>

#include "core/ProjectDateEdit.h"
#include "tests/support/GuiTest.h"

namespace kov {
namespace {

using test::LetEventsRun;
using test::WaitUntilActive;

// No field of it appears in a date typed below, so a field the typing missed shows up.
const QDate Start(2023, 5, 14);

// Dates compared as text, which a failure prints readably.
std::string Iso(QDate d)
{
    return d.toString(Qt::ISODate).toStdString();
}

enum class Arrival { Tab, ShiftTab, ClickOnMonth, SelectAll };
const char* const ArrivalNames[] = {"Tab", "Shift+Tab", "a click on the month", "Tab and Ctrl+A"};

// The box between two line edits, as in a window.
class ProjectDateEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(box);
        layout->addWidget(after);
        QObject::connect(box, &QDateEdit::dateChanged, &window, [this](QDate d) { announced = d; });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(WaitUntilActive(&window));
    }

    // A click on the character boundary `position` of the box's text.
    void clickAt(int position) const
    {
        auto* line = box->findChild<QLineEdit*>();
        const int y = line->height() / 2;
        int x = 0;
        while (x < line->width() && line->cursorPositionAt(QPoint(x, y)) < position)
            ++x;
        QTest::mouseClick(line, Qt::LeftButton, {}, QPoint(x, y));
    }

    void arrive(Arrival how) const
    {
        QLineEdit* from = how == Arrival::ShiftTab ? after : before;
        from->setFocus();
        if (how == Arrival::ClickOnMonth)
            clickAt(1);
        else
            QTest::keyClick(from, Qt::Key_Tab, how == Arrival::ShiftTab ? Qt::ShiftModifier : Qt::NoModifier);
        if (how == Arrival::SelectAll)
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        ASSERT_TRUE(box->hasFocus());
    }

    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    ProjectDateEdit* box = new ProjectDateEdit(&window);
    QLineEdit* after = new QLineEdit(&window);
    QDate announced;
};

TEST_F(ProjectDateEditTest, DateTypedKeyByKeyIsTakenAsTyped)
{
    struct Case {
        const char* typed;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {"11/3/2026", "2026-11-03"},
        {"3/7/2026", "2026-03-07"},
        {"03/07/2026", "2026-03-07"},
        {"12/31/1999", "1999-12-31"},
        {"1/1/2000", "2000-01-01"},      // fields that could still take a digit
        {"2/29/2024", "2024-02-29"},     // a day that only the year typed after it has
        {"10\t30\t2026", "2026-10-30"},  // Tab between the fields
    };
    // clang-format on
    for (Arrival how : {Arrival::Tab, Arrival::ShiftTab, Arrival::ClickOnMonth, Arrival::SelectAll}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.typed << " after " << ArrivalNames[static_cast<int>(how)]);
            box->setDate(Start);
            arrive(how);
            QTest::keyClicks(box, QString::fromLatin1(c.typed));
            EXPECT_EQ(Iso(box->date()), c.expected);
            EXPECT_EQ(Iso(announced), c.expected);
            before->setFocus();
            LetEventsRun();
            EXPECT_EQ(Iso(box->date()), c.expected);
        }
    }
}

TEST_F(ProjectDateEditTest, UpAndDownChangeTheFieldUnderTheCursor)
{
    struct Case {
        int click;          // where a click puts the cursor (1 month, 4 day, 8 year); -1: `typed` after a Tab in
        const char* typed;  // leaves the cursor in the field typed last
        Qt::Key key;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {1, "", Qt::Key_Up, "2023-06-14"},
        {4, "", Qt::Key_Down, "2023-05-13"},
        {8, "", Qt::Key_Up, "2024-05-14"},
        {-1, "1", Qt::Key_Up, "2023-02-14"},
        {-1, "11/3", Qt::Key_Up, "2023-11-04"},
        {-1, "11/3/2026", Qt::Key_Down, "2025-11-03"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.click << " " << c.typed);
        box->setDate(Start);
        if (c.click >= 0) {
            before->setFocus();
            clickAt(c.click);
        } else {
            arrive(Arrival::Tab);
            QTest::keyClicks(box, QString::fromLatin1(c.typed));
        }
        QTest::keyClick(box, c.key);
        EXPECT_EQ(Iso(box->date()), c.expected);
    }
}

TEST_F(ProjectDateEditTest, ArrivingFromTheKeyboardChangesNothingAndPutsTheArrowsOnTheMonth)
{
    for (Arrival how : {Arrival::Tab, Arrival::ShiftTab}) {
        SCOPED_TRACE(ArrivalNames[static_cast<int>(how)]);
        box->setDate(Start);
        arrive(how);
        EXPECT_EQ(Iso(box->date()), Iso(Start));
        QTest::keyClick(box, Qt::Key_Up);
        EXPECT_EQ(Iso(box->date()), "2023-06-14");
    }
}

}  // namespace
}  // namespace kov

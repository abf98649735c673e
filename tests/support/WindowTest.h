#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <type_traits>
#include <variant>

#include "core/LumoMainWindow.h"
#include "core/WindowPlacement.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/TestClock.h"

namespace kov::test {

inline const QString ExitQuestion = QStringLiteral("Ok to exit without saving changes?");

// A window of type W opened from the main window's menu, with the scripted person, the test clock and a temporary
// program folder; the helpers act on the window as a person does.
template <typename W>
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Main(*d, prompter, main)); }

    // The menu item `item` builds an X into `slot` and shows it centred, `width` x `height` twips.
    template <typename X>
    void setOpener(const QString& item, std::unique_ptr<X>& slot, int width, int height)
    {
        main.setOpener(item, [this, &slot, width, height] {
            if constexpr (std::is_constructible_v<X, LumoData&, Prompter&, Clock&, LumoMain*>)
                slot = std::make_unique<X>(*d, prompter, clock, &main);
            else
                slot = std::make_unique<X>(*d, prompter, &main);
            CenterAndShowForm(slot.get(), width, height);
        });
    }

    // A project of `generator` at `stage`, saved as ROAD.MSK unless `withFile` is false.
    void project(i16 generator, i16 stage, bool withFile = true)
    {
        d->ProjectInfo(1) = QStringLiteral("ROAD TEST");
        d->ProjectInfo(2) = QStringLiteral("3/7/2026");
        d->Generator = generator;
        d->ProjectStage = stage;
        if (withFile) {
            d->ProjectFileName = folder.file(QStringLiteral("ROAD.MSK"));
            d->ProjectBaseName = QStringLiteral("ROAD");
        }
        d->MG24Folder = folder.path();
        main.updateMainMenus();
    }

    // The data file of the program folder `name` as `parse` (ParseProjectFile, ParseFolderFile, ...) reads it.
    template <typename Parse>
    LumoData readAs(Parse parse, const QString& name) const
    {
        auto parsed = parse(folder.read(name), LumoData{});
        EXPECT_TRUE(std::holds_alternative<LumoData>(parsed)) << name.toStdString();
        return std::holds_alternative<LumoData>(parsed) ? std::get<LumoData>(parsed) : LumoData{};
    }

    W& open(const QString& item)
    {
        main.item(item)->trigger();
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(WaitUntilActive(window.get()));
        LetEventsRun();
        return *window;
    }

    template <typename T = QWidget>
    T* c(const QString& name) const
    {
        return Control<T>(*window, name.toLatin1().constData());
    }
    QString text(const QString& label) const { return c<QLabel>(label)->text(); }
    // The texts of the list's rows, top to bottom.
    QStringList rows(const QString& list) const
    {
        QStringList texts;
        const auto* l = c<QListWidget>(list);
        for (int i = 0; i < l->count(); ++i)
            texts << l->item(i)->text();
        return texts;
    }
    QString note() const { return text(QStringLiteral("LabNote")); }
    bool enabled(const QString& name) const { return c(name)->isEnabled(); }
    void press(const QString& button) const
    {
        auto* b = c<QPushButton>(button);
        ASSERT_TRUE(b->isEnabled()) << button.toStdString();
        b->click();
        LetEventsRun();
    }
    static void clickOn(QWidget* w, QPoint at = QPoint())
    {
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
        LetEventsRun();
    }
    // A key to whatever has the focus.
    static void key(Qt::Key k)
    {
        QTest::keyClick(QApplication::focusWidget(), k);
        LetEventsRun();
    }
    // Types into whatever has the focus, then the key that leaves the box.
    static void typeAndLeave(const QString& typed, Qt::Key leaving = Qt::Key_Return)
    {
        QTest::keyClicks(QApplication::focusWidget(), typed);
        key(leaving);
    }
    // Message i is `expected`, whole.
    void expectMessage(std::size_t i, const RecordedMessage& expected) const
    {
        ASSERT_GT(prompter.messages().size(), i);
        EXPECT_EQ(prompter.messages()[i], expected);
    }
    // The window is gone and the main window works again.
    void expectClosed() const
    {
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(main.isEnabled());
    }
    // Message i offers to save the results to the project file.
    void expectSaveOffer(std::size_t i) const
    {
        expectMessage(i, {QStringLiteral("Save results to ") + d->ProjectFileName + QStringLiteral("?"),
                          QStringLiteral("Save to File"), MsgIcon::Information, MsgButtons::YesNo});
    }
    // Done in a project without a file: the one message points to Save As, which the closed window leaves on.
    void expectSaveAsOffered() const
    {
        EXPECT_EQ(prompter.messages(), Shown({{QStringLiteral(" To save data to a file, press SAVE AS."),
                                               QStringLiteral("FileSave"), MsgIcon::Information}}));
        expectClosed();
        EXPECT_TRUE(main.item(QStringLiteral("GoSaveAs"))->isEnabled());
    }
    // Message 0 says that `what` ("Masking channel 3") went into the project's EQ file ROAD.EQ.
    void expectEqFileSaved(const QString& what) const
    {
        expectMessage(0, {what + QStringLiteral(" data have been saved to ") + folder.path() + QDir::separator() +
                              QStringLiteral("ROAD.EQ."),
                          QStringLiteral("MG24 File"), MsgIcon::Information});
    }
    // The only messages shown are `count` exit questions.
    void expectExitQuestions(std::size_t count) const
    {
        EXPECT_EQ(prompter.messages(),
                  Shown(count, {ExitQuestion, QStringLiteral("KOV 2.0"), MsgIcon::None, MsgButtons::OkCancel}));
    }

    TempProgramFolder folder;
    ScriptedPrompter prompter;
    TestClock clock;
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
    LumoMain main{*d, prompter};
    std::unique_ptr<W> window;
};

}  // namespace kov::test

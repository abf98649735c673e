#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "core/FindFileWindow.h"
#include "core/FolderFile.h"
#include "core/LumoMainWindow.h"
#include "core/WindowPlacement.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/TestClock.h"

namespace kov {
namespace {

using test::Control;

const QByteArray OldFolderFile = "1,\"\",\"/opt/old/\",\"\",\"\",\"\",\"\"\r\n";

class FindFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.write(FolderFileName, OldFolderFile);
        ASSERT_TRUE(Main(*d, prompter, window));
        ASSERT_TRUE(QDir::setCurrent(work.path()));
    }
    void TearDown() override { QDir::setCurrent(oldCurrent); }

    // Opens the window as the Locate MG24 Software item does.
    void open()
    {
        w = std::make_unique<FindFile>(*d, prompter, clock, &window);
        CenterAndShowForm(w.get(), FindFileWidthTwips, FindFileHeightTwips);
        test::LetEventsRun();
    }
    QString text(const char* label) const { return Control<QLabel>(*w, label)->text(); }
    void click(const char* button) const { Control<QPushButton>(*w, button)->click(); }
    // Empty files below a fresh folder; the folder, with its separator.
    QString tree(const QStringList& files)
    {
        const QDir root(trees.filePath(QString::number(++m_trees)));
        root.mkpath(QStringLiteral("."));
        for (const QString& f : files) {
            root.mkpath(QFileInfo(f).path());
            QFile(root.filePath(f)).open(QIODevice::WriteOnly);
        }
        return root.path() + u'/';
    }
    void searchFrom(const QString& start)
    {
        Control<QLineEdit>(*w, "TxtDir")->setText(start);
        click("CmdFind");
    }
    QString storedMG24Folder() const
    {
        return std::get<LumoData>(ParseFolderFile(folder.read(FolderFileName), LumoData{})).MG24Folder;
    }

    test::TempProgramFolder folder;
    test::ScriptedPrompter prompter;
    test::TestClock clock;
    QTemporaryDir work;
    QTemporaryDir treeDir;
    QDir trees{treeDir.path()};
    const QString oldCurrent = QDir::currentPath();
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
    LumoMain window{*d, prompter};
    std::unique_ptr<FindFile> w;
    int m_trees = 0;
};

TEST_F(FindFileTest, ShowsItsTextsAndTheBoxesTakePathsButNoWildcardsOrQuotes)
{
    open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Locate Corvex ZUV-AR24 Software"));
    EXPECT_EQ(Control<QLineEdit>(*w, "TxtFile")->text(), QStringLiteral("ZUV-AR24.EXE"));
    EXPECT_EQ(text("LabStartDir"), QStringLiteral("Search Start Directory"));
    EXPECT_EQ(text("LabTargetFile"), QStringLiteral("Target File"));
    EXPECT_EQ(text("LabFoundDir"), QStringLiteral("Directory of File"));
    EXPECT_EQ(text("LabNote"),
              QStringLiteral("Both the start directory and the target file can be altered.  Press SEARCH when ready.  "
                             "The directory will be saved so search is necessary only when changes are made."));
    const struct {
        const char* box;
        const char* typed;
        const char* kept;
    } cases[] = {
        {"TxtDir", "~/.wine/drive_c/Program Files (x86)/*", "~/.wine/drive_c/Program Files (x86)/"},
        {"TxtDir", "/srv/a?b|c", "/srv/abc"},
        {"TxtFile", "zuv-ar24.exe\"", "zuv-ar24.exe"},
    };
    for (const auto& c : cases) {
        QLineEdit* edit = Control<QLineEdit>(*w, c.box);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.kept)) << c.typed;
    }
}

TEST_F(FindFileTest, TheFolderFoundOrElseTheCurrentOneIsStoredOnDoneAndYes)
{
    const QString wine = tree({QStringLiteral("Program Files/Common Files/x.dll"),
                               QStringLiteral("Program Files (x86)/Corvex/ZUV-AR24/zuv-ar24.exe")});
    const QString empty = tree({QStringLiteral("a/readme")});
    const struct {
        QString start;
        QString found;  // "" for not found
        QString stored;
    } cases[] = {
        {wine, wine + "Program Files (x86)/Corvex/ZUV-AR24/", wine + "Program Files (x86)/Corvex/ZUV-AR24/"},
        {empty, "", work.path()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start.toStdString());
        prompter.clear();
        d->MG24Folder = QStringLiteral("/opt/old/");
        open();
        QString shownWhileSearching;
        bool busyPointer = false;
        clock.onYield = [&] {
            shownWhileSearching = text("LabDir");
            busyPointer =
                QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        };
        if (c.found.isEmpty())
            prompter.answer(MsgAnswer::Ok);
        searchFrom(c.start);
        clock.onYield = nullptr;
        EXPECT_EQ(shownWhileSearching, QStringLiteral("Searching........"));
        EXPECT_TRUE(busyPointer);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(text("LabDir"), c.found);
        if (c.found.isEmpty()) {
            ASSERT_EQ(prompter.messages().size(), 1u);
            EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("The ZUV-AR24 directory was not found. EQ files "
                                                                  "will be placed in the current directory"));
            EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("MG24"));
            EXPECT_EQ(prompter.messages()[0].icon, MsgIcon::None);
            EXPECT_EQ(text("LabNote"), QStringLiteral("Search complete. The file was not found."));
        } else {
            EXPECT_TRUE(prompter.messages().empty());
            EXPECT_EQ(text("LabNote"), QStringLiteral("Search complete. The file was found."));
            // The folder of a usual installation can be read whole.
            auto* labDir = Control<QLabel>(*w, "LabDir");
            EXPECT_GE(labDir->width(), labDir->fontMetrics().horizontalAdvance(
                                           "/home/installer/.wine/drive_c/Program Files (x86)/Corvex/ZUV-AR24/"));
        }
        EXPECT_EQ(d->MG24Folder, QStringLiteral("/opt/old/"));

        prompter.clear();
        prompter.answer(MsgAnswer::Yes);
        click("CmdDone");
        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Save the MG24 directory?"));
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Save to File"));
        EXPECT_EQ(prompter.messages()[0].icon, MsgIcon::Information);
        EXPECT_EQ(prompter.messages()[0].buttons, MsgButtons::YesNo);
        EXPECT_FALSE(w->isVisible());
        EXPECT_TRUE(window.isEnabled());
        EXPECT_EQ(d->MG24Folder, c.stored);
        EXPECT_EQ(storedMG24Folder(), c.stored);
    }
}

TEST_F(FindFileTest, EachSearchAnswersForItself)
{
    const QString found = tree({QStringLiteral("corvex/ZUV-AR24.EXE")});
    const QString empty = tree({QStringLiteral("x/readme")});
    open();
    searchFrom(found);
    ASSERT_EQ(d->FoundMG24Folder, found + "corvex/");
    // Neither the folder found before nor the current folder offered after the first miss may pass for a find.
    for (int miss = 1; miss <= 2; ++miss) {
        prompter.clear();
        prompter.answer(MsgAnswer::Ok);
        searchFrom(empty);
        ASSERT_EQ(prompter.messages().size(), 1u) << miss;
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("MG24"));
        EXPECT_EQ(text("LabDir"), QString());
        EXPECT_EQ(d->FoundMG24Folder, work.path());
    }
}

TEST_F(FindFileTest, LeavingWithoutYesKeepsTheFolderAndTheFile)
{
    const QString start = tree({QStringLiteral("corvex/ZUV-AR24.EXE")});
    const struct {
        const char* what;
        const char* button;  // nullptr: the close box
        const char* question;
        const char* title;
        MsgAnswer answer;
        bool staysOpen;
    } cases[] = {
        {"Cancel, then OK", "CmdCancel", "Ok to exit without saving changes?", "KOV 2.0", MsgAnswer::Ok, false},
        {"Cancel, then Cancel", "CmdCancel", "Ok to exit without saving changes?", "KOV 2.0", MsgAnswer::Cancel, true},
        {"Done, then No", "CmdDone", "Save the MG24 directory?", "Save to File", MsgAnswer::No, false},
        {"the close box, then No", nullptr, "Save the MG24 directory?", "Save to File", MsgAnswer::No, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.clear();
        open();
        searchFrom(start);
        prompter.answer(c.answer);
        if (c.button != nullptr)
            click(c.button);
        else
            w->close();
        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_EQ(prompter.messages()[0].text, QString::fromLatin1(c.question));
        EXPECT_EQ(prompter.messages()[0].title, QString::fromLatin1(c.title));
        EXPECT_EQ(w->isVisible(), c.staysOpen);
        EXPECT_EQ(d->MG24Folder, QStringLiteral("/opt/old/"));
        EXPECT_EQ(folder.read(FolderFileName), OldFolderFile);
        if (c.staysOpen) {
            // The Cancel still stands: the close box asks the exit question too.
            prompter.answer(MsgAnswer::Ok);
            w->close();
            EXPECT_EQ(prompter.messages().back().text, QStringLiteral("Ok to exit without saving changes?"));
            EXPECT_FALSE(w->isVisible());
        }
    }
}

TEST_F(FindFileTest, AFolderFileThatCannotBeWrittenSaysSoAndKeepsTheWindow)
{
    const QString start = tree({QStringLiteral("corvex/ZUV-AR24.EXE")});
    open();
    searchFrom(start);
    const QString appPath = d->AppPath;
    d->AppPath = folder.file(QStringLiteral("gone"));
    prompter.answer(MsgAnswer::Yes);
    prompter.answer(MsgAnswer::Ok);
    click("CmdDone");
    ASSERT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(prompter.messages()[1].title, QStringLiteral("File Error"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(folder.read(FolderFileName), OldFolderFile);

    // Once the folder takes the file, Done writes it.
    d->AppPath = appPath;
    prompter.answer(MsgAnswer::Yes);
    click("CmdDone");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(storedMG24Folder(), start + "corvex/");
}

TEST_F(FindFileTest, ClosingDuringASearchStopsItAndKeepsTheWindow)
{
    QStringList files{QStringLiteral("zz/ZUV-AR24.EXE")};
    for (int i = 0; i < 2000; ++i)
        files << QStringLiteral("f%1").arg(i);
    const QString start = tree(files);
    const struct {
        const char* what;
        std::function<bool(FindFile&, LumoMain&)> close;  // true when the window agreed to close
    } cases[] = {
        {"the close box", [](FindFile& f, LumoMain&) { return f.close(); }},
        {"Cancel",
         [](FindFile& f, LumoMain&) {
             Control<QPushButton>(f, "CmdCancel")->click();
             return !f.isVisible();
         }},
        {"the program's end", [](FindFile&, LumoMain& m) { return m.exitProgram(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        d->FoundMG24Folder = QStringLiteral("/previous/");
        open();
        int yields = 0;
        bool closed = true;
        clock.onYield = [&] {
            if (++yields == 2)
                closed = c.close(*w, window);
        };
        searchFrom(start);
        clock.onYield = nullptr;
        EXPECT_FALSE(closed);
        EXPECT_EQ(yields, 2);  // the search ended at the first look after the close
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(prompter.messages().empty());
        EXPECT_EQ(text("LabNote"), QStringLiteral("The search was stopped before it was complete."));
        EXPECT_EQ(d->FoundMG24Folder, QStringLiteral("/previous/"));

        prompter.answer(MsgAnswer::No);
        click("CmdDone");
        EXPECT_FALSE(w->isVisible());
        prompter.clear();
    }
}

}  // namespace
}  // namespace kov

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
#include "core/WindowPlacement.h"
#include "tests/support/WindowTest.h"

namespace kov {
namespace {

using test::ExitQuestion;
using test::RecordedMessage;
using test::Shown;

const QByteArray OldFolderFile = "1,\"\",\"/opt/old/\",\"\",\"\",\"\",\"\"\r\n";

class FindFileTest : public test::WindowTest<FindFile> {
protected:
    void SetUp() override
    {
        folder.write(FolderFileName, OldFolderFile);
        WindowTest::SetUp();
        ASSERT_TRUE(QDir::setCurrent(work.path()));
        setOpener(QStringLiteral("GoMG24"), window, FindFileWidthTwips, FindFileHeightTwips);
    }
    void TearDown() override { QDir::setCurrent(oldCurrent); }

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
        c<QLineEdit>(QStringLiteral("TxtDir"))->setText(start);
        press(QStringLiteral("CmdFind"));
    }
    QTemporaryDir work;
    QTemporaryDir treeDir;
    QDir trees{treeDir.path()};
    const QString oldCurrent = QDir::currentPath();
    int m_trees = 0;
};

const RecordedMessage SaveQuestion{QStringLiteral("Save the MG24 directory?"), QStringLiteral("Save to File"),
                                   MsgIcon::Information, MsgButtons::YesNo};
const RecordedMessage NotFound{
    QStringLiteral("The ZUV-AR24 directory was not found. EQ files will be placed in the current directory"),
    QStringLiteral("MG24"),
};
const RecordedMessage ExitAsked{ExitQuestion, QStringLiteral("KOV 2.0"), MsgIcon::None, MsgButtons::OkCancel};

TEST_F(FindFileTest, ShowsItsTextsAndTheBoxesTakePathsButNoWildcardsOrQuotes)
{
    open(QStringLiteral("GoMG24"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Locate Corvex ZUV-AR24 Software"));
    EXPECT_EQ(c<QLineEdit>(QStringLiteral("TxtFile"))->text(), QStringLiteral("ZUV-AR24.EXE"));
    for (const auto& [label, caption] : {std::pair{"LabStartDir", "Search Start Directory"},
                                         {"LabTargetFile", "Target File"},
                                         {"LabFoundDir", "Directory of File"}})
        EXPECT_EQ(text(QString::fromLatin1(label)), QString::fromLatin1(caption));
    EXPECT_EQ(note(),
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
    for (const auto& e : cases) {
        QLineEdit* edit = c<QLineEdit>(QString::fromLatin1(e.box));
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QString::fromUtf8(e.typed));
        EXPECT_EQ(edit->text(), QString::fromUtf8(e.kept)) << e.typed;
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
        open(QStringLiteral("GoMG24"));
        QString shownWhileSearching;
        bool busyPointer = false;
        clock.onYield = [&] {
            shownWhileSearching = text(QStringLiteral("LabDir"));
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
        EXPECT_EQ(text(QStringLiteral("LabDir")), c.found);
        EXPECT_EQ(prompter.messages(), c.found.isEmpty() ? Shown{NotFound} : Shown{});
        EXPECT_EQ(note(), c.found.isEmpty() ? QStringLiteral("Search complete. The file was not found.")
                                            : QStringLiteral("Search complete. The file was found."));
        if (!c.found.isEmpty()) {
            // The folder of a usual installation can be read whole.
            auto* labDir = test::Control<QLabel>(*window, "LabDir");
            EXPECT_GE(labDir->width(), labDir->fontMetrics().horizontalAdvance(
                                           "/home/installer/.wine/drive_c/Program Files (x86)/Corvex/ZUV-AR24/"));
        }
        EXPECT_EQ(d->MG24Folder, QStringLiteral("/opt/old/"));

        prompter.clear();
        prompter.answer(MsgAnswer::Yes);
        press(QStringLiteral("CmdDone"));
        EXPECT_EQ(prompter.messages(), Shown{SaveQuestion});
        expectClosed();
        EXPECT_EQ(d->MG24Folder, c.stored);
        EXPECT_EQ(readAs(ParseFolderFile, FolderFileName).MG24Folder, c.stored);
    }
}

TEST_F(FindFileTest, EachSearchAnswersForItself)
{
    const QString found = tree({QStringLiteral("corvex/ZUV-AR24.EXE")});
    const QString empty = tree({QStringLiteral("x/readme")});
    open(QStringLiteral("GoMG24"));
    searchFrom(found);
    ASSERT_EQ(d->FoundMG24Folder, found + "corvex/");
    // Neither the folder found before nor the current folder offered after the first miss may pass for a find.
    for (int miss = 1; miss <= 2; ++miss) {
        prompter.clear();
        prompter.answer(MsgAnswer::Ok);
        searchFrom(empty);
        EXPECT_EQ(prompter.messages(), Shown{NotFound}) << miss;
        EXPECT_EQ(text(QStringLiteral("LabDir")), QString());
        EXPECT_EQ(d->FoundMG24Folder, work.path());
    }
}

TEST_F(FindFileTest, LeavingWithoutYesKeepsTheFolderAndTheFile)
{
    const QString start = tree({QStringLiteral("corvex/ZUV-AR24.EXE")});
    const struct {
        const char* what;
        const char* button;  // nullptr: the close box
        RecordedMessage question;
        MsgAnswer answer;
        bool staysOpen;
    } cases[] = {
        {"Cancel, then OK", "CmdCancel", ExitAsked, MsgAnswer::Ok, false},
        {"Cancel, then Cancel", "CmdCancel", ExitAsked, MsgAnswer::Cancel, true},
        {"Done, then No", "CmdDone", SaveQuestion, MsgAnswer::No, false},
        {"the close box, then No", nullptr, SaveQuestion, MsgAnswer::No, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.clear();
        open(QStringLiteral("GoMG24"));
        searchFrom(start);
        prompter.answer(c.answer);
        if (c.button != nullptr)
            press(QString::fromLatin1(c.button));
        else
            window->close();
        EXPECT_EQ(prompter.messages(), Shown{c.question});
        EXPECT_EQ(window->isVisible(), c.staysOpen);
        EXPECT_EQ(d->MG24Folder, QStringLiteral("/opt/old/"));
        EXPECT_EQ(folder.read(FolderFileName), OldFolderFile);
        if (c.staysOpen) {
            // The Cancel still stands: the close box asks the exit question too.
            prompter.answer(MsgAnswer::Ok);
            window->close();
            EXPECT_EQ(prompter.messages(), Shown(2, ExitAsked));
            EXPECT_FALSE(window->isVisible());
        }
    }
}

TEST_F(FindFileTest, AFolderFileThatCannotBeWrittenSaysSoAndKeepsTheWindow)
{
    const QString start = tree({QStringLiteral("corvex/ZUV-AR24.EXE")});
    open(QStringLiteral("GoMG24"));
    searchFrom(start);
    const QString appPath = d->AppPath;
    d->AppPath = folder.file(QStringLiteral("gone"));
    prompter.answer(MsgAnswer::Yes);
    prompter.answer(MsgAnswer::Ok);
    press(QStringLiteral("CmdDone"));
    ASSERT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(prompter.messages()[1].title, QStringLiteral("File Error"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(folder.read(FolderFileName), OldFolderFile);

    // Once the folder takes the file, Done writes it.
    d->AppPath = appPath;
    prompter.answer(MsgAnswer::Yes);
    press(QStringLiteral("CmdDone"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readAs(ParseFolderFile, FolderFileName).MG24Folder, start + "corvex/");
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
             test::Control<QPushButton>(f, "CmdCancel")->click();
             return !f.isVisible();
         }},
        {"the program's end", [](FindFile&, LumoMain& m) { return m.exitProgram(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        d->FoundMG24Folder = QStringLiteral("/previous/");
        open(QStringLiteral("GoMG24"));
        int yields = 0;
        bool closed = true;
        clock.onYield = [&] {
            if (++yields == 2)
                closed = c.close(*window, main);
        };
        searchFrom(start);
        clock.onYield = nullptr;
        EXPECT_FALSE(closed);
        EXPECT_EQ(yields, 2);  // the search ended at the first look after the close
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(prompter.messages().empty());
        EXPECT_EQ(note(), QStringLiteral("The search was stopped before it was complete."));
        EXPECT_EQ(d->FoundMG24Folder, QStringLiteral("/previous/"));

        prompter.answer(MsgAnswer::No);
        press(QStringLiteral("CmdDone"));
        EXPECT_FALSE(window->isVisible());
        prompter.clear();
    }
}

}  // namespace
}  // namespace kov

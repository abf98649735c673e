#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

#include "core/Documents.h"
#include "core/LumoClientWindow.h"
#include "core/LumoMainWindow.h"
#include "core/QtPrompter.h"
#include "core/WindowPlacement.h"
#include "tests/fixtures/HandBuiltProject.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

namespace kov {
namespace {

using test::Control;
using test::LetEventsRun;
using test::ShownChannelItems;
using test::WaitUntilActive;

// Runs `act` on the modal dialog once it is up; a dialog that never shows fails the test instead of hanging.
void WhenModalShown(std::function<void(QWidget*)> act, int triesLeft = 500)
{
    QTimer::singleShot(10, [act = std::move(act), triesLeft]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
        } else if (triesLeft > 0) {
            WhenModalShown(std::move(act), triesLeft - 1);
        } else {
            ADD_FAILURE() << "no modal dialog was shown";
        }
    });
}

// Counts the times a window was shown or closed.
class WindowWatch : public QObject {
public:
    explicit WindowWatch(QWidget* w) { w->installEventFilter(this); }
    int shows = 0;
    int closes = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Show)
            ++shows;
        if (e->type() == QEvent::Close)
            ++closes;
        return false;
    }
};

class LumoMainTest : public ::testing::Test {
protected:
    bool start() { return Main(*d, prompter, window); }

    QAction* action(const char* name) const { return Control<QAction>(window, name); }
    QAction* menu(const char* name) const { return Control<QMenu>(window, name)->menuAction(); }
    QLabel* logo(const char* name) const { return Control<QLabel>(window, name); }
    // Save, Save As, the Equalize System menu and the three report items are usable as given.
    void expectMenus(bool save, bool saveAs, bool equalize, bool report) const
    {
        EXPECT_EQ(action("GoSave")->isEnabled(), save);
        EXPECT_EQ(action("GoSaveAs")->isEnabled(), saveAs);
        EXPECT_EQ(menu("DoMask")->isEnabled(), equalize);
        for (const char* item : {"GoReport", "GoReportPreview", "GoReportPdf"})
            EXPECT_EQ(action(item)->isEnabled(), report) << item;
    }

    test::TempProgramFolder folder;
    test::ScriptedPrompter prompter;
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
    LumoMain window{*d, prompter};
};

TEST_F(LumoMainTest, StartUpShowsTheMaximisedWindowWithBothLogos)
{
    WindowWatch watch(&window);
    ASSERT_TRUE(start());
    LetEventsRun();

    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(window.objectName(), QStringLiteral("LumoMain"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Project File Name: None"));
    EXPECT_EQ(test::ControlsNotWhole(window), "");
    EXPECT_EQ(d->ProjectStage, 0);
    EXPECT_EQ(d->SaveConfirmed, 0);
    EXPECT_EQ(watch.shows, 1);

    struct Expected {
        const char* name;
        QSize size;
    };
    for (const Expected& e : {Expected{"Image1", QSize(188, 94)}, Expected{"Image2", QSize(253, 94)}}) {
        SCOPED_TRACE(e.name);
        QLabel* image = logo(e.name);
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(image->isVisibleTo(&window));
        EXPECT_FALSE(image->pixmap().isNull());
        EXPECT_EQ(image->size(), e.size);
        EXPECT_TRUE(window.centralWidget()->rect().contains(image->geometry()));
    }
    EXPECT_TRUE(prompter.messages().empty());
}

// `kov FILE` and a double click on a project file: the file opens as File, Open opens it, or is refused with File,
// Open's two messages (ProjectFileTest and ProjectCommandsTest have them) and the program goes on without it.
TEST(LumoMainStart, AProjectNamedAtStartOpensOrIsRefusedAsFileOpenWould)
{
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens);
        test::TempProgramFolder folder;
        test::ScriptedPrompter person;
        auto d = std::make_unique<LumoData>();
        LumoMain window(*d, person);
        const QString path = folder.file(QStringLiteral("JOB.MSK"));
        folder.write(QStringLiteral("JOB.MSK"),
                     opens ? test::GoldenFile(QStringLiteral("HANDBUILT.MSK")) : QByteArray("\"not a project\"\r\n"));
        if (!opens) {
            person.answer(MsgAnswer::Ok);  // the reader's message
            person.answer(MsgAnswer::Ok);  // File, Open's own
        }
        ASSERT_TRUE(Main(*d, person, window));
        OpenProjectNamedAtStart(*d, person, window, path);

        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(person.messages().size(), opens ? 0u : 2u);
        EXPECT_EQ(d->ProjectFileName, opens ? path : QString());
        EXPECT_EQ(d->ProjectStage, opens ? 2 : 0);
        EXPECT_EQ(window.windowTitle(),
                  QStringLiteral("Project File Name: ") + (opens ? path : QStringLiteral("None")));
    }
}

TEST_F(LumoMainTest, MenuBarHoldsThreeMenusAndThreeDirectItems)
{
    // The menu bar, left to right; three of its entries act at once instead of opening a menu.
    QStringList bar;
    for (QAction* a : window.menuBar()->actions())
        bar << a->objectName() + QLatin1Char('=') + a->text();
    EXPECT_EQ(bar, (QStringList{"DoFile=File", "DoDoc=Documents", "GoRefSpec=Spectrum Database",
                                "GoPrinter=Printer Selection", "GoProj=Project ID", "DoMask=Equalize System"}));
    for (const char* direct : {"GoRefSpec", "GoPrinter", "GoProj"})
        EXPECT_EQ(action(direct)->menu(), nullptr) << direct;

    QStringList equalize;
    for (QAction* a : window.findChild<QMenu*>(QStringLiteral("DoMask"))->actions())
        equalize << a->objectName();
    EXPECT_EQ(equalize, (QStringList{"GoMask1", "GoMask2", "GoMask3", "GoMask4", "GoMask5", "GoMask6", "GoPage1",
                                     "GoPage2", "GoReport", "GoReportPreview", "GoReportPdf"}));
}

struct LogoCase {
    int windowWidth;
    QRect image1;
    QRect image2;
};

TEST_F(LumoMainTest, LogosStayCentredRightOfTheMiddleWhenTheWindowIsResized)
{
    ASSERT_TRUE(start());
    window.showNormal();
    const LogoCase cases[] = {
        {1200, QRect(559, 67, 188, 94), QRect(527, 167, 253, 94)},
        {900, QRect(409, 67, 188, 94), QRect(377, 167, 253, 94)},
        {1001, QRect(460, 67, 188, 94), QRect(427, 167, 253, 94)},  // halves truncated before the offset
    };
    for (const LogoCase& c : cases) {
        SCOPED_TRACE(c.windowWidth);
        window.resize(c.windowWidth, 700);
        LetEventsRun();
        ASSERT_EQ(window.width(), c.windowWidth);
        EXPECT_EQ(logo("Image1")->geometry(), c.image1);
        EXPECT_EQ(logo("Image2")->geometry(), c.image2);
    }
}

TEST_F(LumoMainTest, MissingLogoLeavesItsPlaceEmptyWithoutAMessage)
{
    folder.remove(QStringLiteral("pellar.jpg"));
    ASSERT_TRUE(start());
    LetEventsRun();
    EXPECT_FALSE(logo("Image1")->isVisibleTo(&window));
    EXPECT_TRUE(logo("Image2")->isVisibleTo(&window));
    EXPECT_TRUE(prompter.messages().empty());
}

struct MenuCase {
    i16 stage;
    i16 generator;
    const char* fileName;
    bool save;
    bool saveAs;
    bool equalize;
    bool report;
    QStringList channels;
};

// The rules themselves are MainMenusTest's (an unknown product too); here every item is seen switched both ways. The
// cases run in order, each over the menus the one before left.
TEST_F(LumoMainTest, StageAndGeneratorDecideTheMenus)
{
    ASSERT_TRUE(start());
    const QStringList all{"GoMask1", "GoMask2", "GoMask3", "GoMask4", "GoMask5", "GoMask6", "GoPage1", "GoPage2"};
    const QStringList zuv{"GoMask3", "GoMask4", "GoMask5", "GoMask6", "GoPage1", "GoPage2"};
    const MenuCase cases[] = {
        {0, GeneratorNone, "", false, false, false, false, all},
        {1, GeneratorZUVAR24, "", false, true, true, false, zuv},
        {1, GeneratorRUZ1200U, "", false, true, true, false, {"GoMask1"}},
        {2, GeneratorDA2500, "/jobs/OFFICE.MSK", true, true, true, true, {"GoMask1", "GoMask2", "GoPage1", "GoPage2"}},
        {3, GeneratorDU3001, "  ", false, true, true, true, {"GoMask1", "GoMask2"}},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stage " << c.stage << ", generator " << c.generator);
        d->ProjectStage = c.stage;
        d->Generator = c.generator;
        d->ProjectFileName = QString::fromLatin1(c.fileName);
        window.updateMainMenus();
        expectMenus(c.save, c.saveAs, c.equalize, c.report);
        EXPECT_EQ(ShownChannelItems(window), c.channels);
    }
}

// Coming back to the main window refreshes its menus; only coming back from another window of the program, not
// from a message box, refreshes the caption too.
TEST_F(LumoMainTest, ComingBackRefreshesTheMenusAndAfterAnotherWindowTheCaption)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(WaitUntilActive(&window));
    QMessageBox box(QMessageBox::Information, QStringLiteral("KOV"), QStringLiteral("Saved"), QMessageBox::Ok, &window);
    QWidget other;
    for (const auto& [away, caption] : {std::pair<QWidget*, const char*>{&box, "Project File Name: None"},
                                        {&other, "Project File Name: /jobs/OFFICE.MSK"}}) {
        SCOPED_TRACE(caption);
        d->ProjectFileName.clear();
        d->ProjectStage = 0;
        d->Generator = GeneratorNone;
        window.updateMainMenus();
        away->show();
        away->activateWindow();
        ASSERT_TRUE(WaitUntilActive(away));

        d->ProjectFileName = QStringLiteral("/jobs/OFFICE.MSK");
        d->ProjectStage = 2;
        d->Generator = GeneratorZUVAR24;
        if (away == &box)
            box.hide();
        window.activateWindow();
        ASSERT_TRUE(WaitUntilActive(&window));

        EXPECT_EQ(window.windowTitle(), QString::fromLatin1(caption));
        EXPECT_TRUE(action("GoSave")->isEnabled());
        EXPECT_TRUE(action("GoReport")->isEnabled());
        EXPECT_TRUE(action("GoMask3")->isVisible());
        EXPECT_FALSE(action("GoMask1")->isVisible());
    }
}

TEST_F(LumoMainTest, NewEmptiesTheProjectAndResetsCaptionAndMenus)
{
    ASSERT_TRUE(start());
    d->ProjectFileName = QStringLiteral("/jobs/OFFICE.MSK");
    d->ProjectStage = 3;
    d->Generator = GeneratorDA2500;
    d->ProjectInfo(1) = QStringLiteral("Third floor");
    d->SaveConfirmed = -1;
    window.setWindowTitle(MainCaption(d->ProjectFileName));
    window.updateMainMenus();
    ASSERT_TRUE(action("GoReport")->isEnabled());

    // The project has changes its file does not hold: Cancel keeps it, No throws them away.
    prompter.answer(MsgAnswer::Cancel);
    action("GoNew")->trigger();
    EXPECT_EQ(d->ProjectStage, 3);
    EXPECT_EQ(d->ProjectFileName, QStringLiteral("/jobs/OFFICE.MSK"));
    prompter.answer(MsgAnswer::No);
    action("GoNew")->trigger();
    ASSERT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(prompter.messages()[1].buttons, MsgButtons::YesNoCancel);

    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Project File Name: None"));
    // What New empties is LumoDataTest's.
    EXPECT_EQ(d->ProjectStage, 0);
    expectMenus(false, false, false, false);
}

TEST_F(LumoMainTest, NewThatCannotReloadTheDatabaseEndsTheProgram)
{
    ASSERT_TRUE(start());
    folder.remove(QStringLiteral("KOVSPEC.DAT"));
    prompter.answer(MsgAnswer::Ok);
    action("GoNew")->trigger();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Fatal Error"));
    EXPECT_FALSE(window.isVisible());
}

struct StartFailure {
    const char* what;
    const char* file;  // removed from the program folder
    const char* ending;
};

// The loaders' messages for other damage are SpectrumDatabaseTest's and FolderFileTest's.
TEST_F(LumoMainTest, StartUpWithoutItsDataFilesEndsBeforeTheWindowShows)
{
    const StartFailure cases[] = {
        {"no spectrum database", "KOVSPEC.DAT", " occurred in loading the masking spectrum database."},
        {"no folder file", "DIRFILE.DAT", " occurred in opening the directory file."},
    };
    for (const StartFailure& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempProgramFolder programFolder;
        test::ScriptedPrompter person;
        auto data = std::make_unique<LumoData>();
        LumoMain main(*data, person);
        WindowWatch watch(&main);
        programFolder.remove(QLatin1String(c.file));
        person.answer(MsgAnswer::Ok);

        EXPECT_FALSE(Main(*data, person, main));
        LetEventsRun();

        const QString missing = QDir::toNativeSeparators(programFolder.file(QLatin1String(c.file)));
        EXPECT_EQ(person.messages(),
                  test::Shown({{QStringLiteral("File not found: ") + missing + QLatin1String(c.ending),
                                QStringLiteral("Fatal Error"), MsgIcon::Critical}}));
        EXPECT_EQ(watch.shows, 0);
        EXPECT_FALSE(main.isVisible());
    }
}

struct ItemCase {
    const char* item;
    i16 channel;      // CurrentChannel afterwards
    int pageOpen;     // element of PageChannelOpen set to itself, 0 for none
    i16 findTarget;   // FindTarget afterwards
    i16 getFileMode;  // GetFileMode afterwards
};

TEST_F(LumoMainTest, EachItemDoesItsBookkeepingThenCallsItsOwnOpenerOnly)
{
    ASSERT_TRUE(start());
    QStringList called;
    for (const QString& name : LumoMain::itemNames())
        window.setOpener(name, [&called, name] { called << name; });

    constexpr i16 untouched = 9;
    const ItemCase special[] = {
        {"GoMask1", 1, 0, 0, 0},
        {"GoMask2", 2, 0, 0, 0},
        {"GoMask3", 3, 0, 0, 0},
        {"GoMask4", 4, 0, 0, 0},
        {"GoMask5", 5, 0, 0, 0},
        {"GoMask6", 6, 0, 0, 0},
        {"GoPage1", 1, 1, 0, 0},
        {"GoPage2", 2, 2, 0, 0},
        {"GoMG24", untouched, 0, 1, 0},
        {"GoOpen", untouched, 0, 0, 1},
        // A Documents item that opens a window.
        {"GoComm", untouched, 0, 0, 0},
    };
    auto reset = [&] {
        called.clear();
        d->CurrentChannel = untouched;
        d->PageChannelOpen.fill(0);
        d->FindTarget = 0;
        d->GetFileMode = 0;
    };
    for (const ItemCase& c : special) {
        SCOPED_TRACE(c.item);
        reset();
        action(c.item)->trigger();
        EXPECT_EQ(called, QStringList{QString::fromLatin1(c.item)});
        EXPECT_EQ(d->CurrentChannel, c.channel);
        for (int p = 1; p <= 8; ++p)
            EXPECT_EQ(d->PageChannelOpen(p), p == c.pageOpen ? p : 0) << "PageChannelOpen(" << p << ")";
        EXPECT_EQ(d->FindTarget, c.findTarget);
        EXPECT_EQ(d->GetFileMode, c.getFileMode);
    }

    // Every other item only opens what it was given; a project under way makes them all usable.
    d->ProjectStage = 2;
    d->Generator = GeneratorDA2500;
    d->ProjectFileName = QStringLiteral("/jobs/OFFICE.MSK");
    window.updateMainMenus();
    for (const QString& name : LumoMain::itemNames()) {
        // The documents are the main window's own too (DocumentsTest).
        if (name.startsWith(QLatin1String("Do")) || name == QLatin1String("GoNew") || name == QLatin1String("GoExit") ||
            name == QLatin1String("GoSave") || name == QLatin1String("GoSaveAs") || ProgramDocumentOf(name) != nullptr)
            continue;
        SCOPED_TRACE(name.toStdString());
        reset();
        window.item(name)->trigger();
        EXPECT_EQ(called, QStringList{name});
    }
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(LumoMainTest, AFailingWindowGetsAMessageInsteadOfEndingTheProgram)
{
    ASSERT_TRUE(start());
    window.setOpener(QStringLiteral("GoRefSpec"), [] { throw std::runtime_error("out of memory"); });
    prompter.answer(MsgAnswer::Ok);
    action("GoRefSpec")->trigger();
    EXPECT_EQ(
        prompter.messages(),
        test::Shown({{QStringLiteral("out of memory occurred in Spectrum Database."), QString(), MsgIcon::Critical}}));
    EXPECT_TRUE(window.isVisible());
}

// A window of the program that says when it is closed.
class OtherWindow : public QWidget {
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        ++closes;
        e->accept();
    }
};

// How the program ends, and what stops it: an open window's own exit question, then the project's unsaved
// changes (saved, thrown away, or kept by staying).
struct EndCase {
    const char* how;
    bool viaExit;  // File, Exit; otherwise the main window's close box
    bool unsaved;
    bool named;       // the project has a file
    bool clientOpen;  // Project Information is open, holding edits
    std::vector<MsgAnswer> answers;
    bool asked;  // the question about the project came
    bool ends;
    bool written;
    bool writable = true;  // false: the project's folder is gone, so its save fails
};

TEST_F(LumoMainTest, EndingAsksOpenWindowsThenAboutUnsavedChangesAndStopsAtTheFirstRefusal)
{
    using A = MsgAnswer;
    const EndCase cases[] = {
        {"nothing to lose", true, false, true, false, {}, false, true, false},
        {"unsaved, No", false, true, true, false, {A::No}, true, true, false},
        {"unsaved, Yes", true, true, true, false, {A::Yes}, true, true, true},
        {"unsaved, Cancel", false, true, true, false, {A::Cancel}, true, false, false},
        {"no file, Yes then the dialog cancelled", true, true, false, false, {A::Yes}, true, false, false},
        {"unsaved, Yes, the save fails", true, true, true, false, {A::Yes, A::Ok}, true, false, false, false},
        {"window refuses", false, true, true, true, {A::Cancel}, false, false, false},
        {"window lets go, then No", false, true, true, true, {A::Ok, A::No}, true, true, false},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.how);
        test::TempProgramFolder programFolder;
        test::ScriptedPrompter person;
        for (MsgAnswer a : c.answers)
            person.answer(a);
        if (!c.named)
            person.answerSaveFile(QString());
        auto data = std::make_unique<LumoData>();
        LumoMain main(*data, person);
        ASSERT_TRUE(Main(*data, person, main));
        OtherWindow other;
        other.show();
        const QString file =
            programFolder.file(c.writable ? QStringLiteral("JOB.MSK") : QStringLiteral("gone/JOB.MSK"));
        if (c.named)
            data->ProjectFileName = file;
        if (c.unsaved)
            data->ProjectStage = 2;
        LumoClient client(*data, person, &main);
        if (c.clientOpen) {
            client.show();
            ASSERT_FALSE(main.isEnabled());
        }

        // A program that runs on is stopped from outside; the timer goes with this case.
        QTimer runsOn;
        runsOn.setSingleShot(true);
        QObject::connect(&runsOn, &QTimer::timeout, [] { QCoreApplication::exit(2); });
        QTimer::singleShot(0, &main, [&] {
            if (c.viaExit)
                main.item(QStringLiteral("GoExit"))->trigger();
            else
                main.close();
            runsOn.start(50);
        });
        EXPECT_EQ(QCoreApplication::exec(), c.ends ? 0 : 2);
        EXPECT_EQ(main.isVisible(), !c.ends);
        EXPECT_EQ(other.closes, c.ends ? 1 : 0);
        EXPECT_EQ(client.isVisible(), c.clientOpen && !c.ends);
        EXPECT_EQ(QFile::exists(file), c.written);
        EXPECT_EQ(person.unusedAnswers(), 0u);
        EXPECT_EQ(person.messages().size(), c.answers.size());
        if (c.asked) {
            ASSERT_FALSE(person.messages().empty());
            const auto& q = person.messages().front().buttons == MsgButtons::YesNoCancel ? person.messages().front()
                                                                                         : person.messages().back();
            EXPECT_EQ(q.buttons, MsgButtons::YesNoCancel);
            EXPECT_EQ(q.text, c.named
                                  ? QStringLiteral("The project has changed since it was saved. Save the changes to ") +
                                        file + QStringLiteral(" first?")
                                  : QStringLiteral("The project has not been saved. Save it to a file first?"));
        }
    }
}

TEST_F(LumoMainTest, AWindowOpenWhenTheMainWindowGoesFirstLetsGoWithoutReachingBack)
{
    // The program deletes the windows of one opening after the main window; an open one still holds it.
    auto owner = std::make_unique<LumoMain>(*d, prompter);
    auto client = std::make_unique<LumoClient>(*d, prompter, owner.get());
    client->show();
    ASSERT_FALSE(owner->isEnabled());
    owner.reset();
    client.reset();
}

TEST_F(LumoMainTest, EndingBeforeTheEventLoopRunsLeavesNothingBehind)
{
    OtherWindow other;
    other.show();
    EndProgram();
    EXPECT_EQ(other.closes, 1);
    EXPECT_FALSE(other.isVisible());

    // No stray request to quit is waiting for the next event loop.
    QEventLoop loop;
    QTimer::singleShot(50, &loop, [&] { loop.exit(7); });
    EXPECT_EQ(loop.exec(), 7);
}

struct PlacementCase {
    QRect available;
    int widthTwips;
    int heightTwips;
    QRect expected;
};

TEST(WindowPlacementTest, CentresOnTheFreeAreaWithTruncatedHalves)
{
    const PlacementCase cases[] = {
        {QRect(0, 0, 1600, 1000), 8000, 8000, QRect(533, 233, 533, 533)},
        {QRect(0, 40, 1600, 960), 10350, 7835, QRect(455, 259, 690, 522)},     // a panel along the top
        {QRect(1920, 0, 1280, 1024), 3700, 4525, QRect(2436, 361, 247, 302)},  // a second screen
        {QRect(0, 0, 640, 480), 10350, 7835, QRect(0, 0, 690, 522)},  // larger than the screen: title bar stays
        {QRect(0, 0, 1600, 1000), 7770, 1565, QRect(541, 448, 518, 104)},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.widthTwips << " x " << c.heightTwips);
        EXPECT_EQ(CenteredGeometry(c.available, c.widthTwips, c.heightTwips), c.expected);
    }
}

// A window that grew past the edge of the screen comes back just far enough.
TEST(WindowPlacementTest, AGrownWindowIsKeptOnTheFreeArea)
{
    const QRect screen(0, 0, 1024, 768);
    const std::pair<QRect, QPoint> cases[] = {
        {QRect(95, 100, 938, 563), QPoint(86, 100)},    // 9 pixels beyond the right edge
        {QRect(95, 300, 600, 500), QPoint(95, 268)},    // 32 below the bottom
        {QRect(40, 30, 1024, 768), QPoint(0, 0)},       // the whole screen
        {QRect(10, 10, 1100, 800), QPoint(0, 0)},       // larger: the title bar stays at the top left
        {QRect(100, 100, 600, 400), QPoint(100, 100)},  // inside already
        {QRect(2200, 40, 300, 200), QPoint(2004, 40)},  // on a second screen to the right
    };
    for (const auto& [frame, kept] : cases)
        EXPECT_EQ(KeptOnScreen(frame.left() >= 1024 ? QRect(1024, 0, 1280, 1024) : screen, frame), kept) << frame.x();
}

TEST(WindowPlacementTest, ShowsTheFormModelessAtItsSizeInTheMiddle)
{
    QWidget form;
    CenterAndShowForm(&form, 8000, 8000);
    LetEventsRun();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isModal());
    EXPECT_EQ(form.size(), QSize(533, 533));
    const QPoint middle = form.screen()->availableGeometry().center();
    EXPECT_LE((form.frameGeometry().center() - middle).manhattanLength(), 2);
}

struct FilterCase {
    const char* program;
    const char* qt;
};

TEST(QtPrompterTest, FiltersAreWordedForQt)
{
    const FilterCase cases[] = {
        {"Design Files |*.MSK", "Design Files (*.MSK *.msk)"},
        {"DSP30Files|*.txt", "DSP30Files (*.txt *.TXT)"},
        {"Ivie-45 Files |*.ivi", "Ivie-45 Files (*.ivi *.IVI)"},
        {"Text|*.txt|All Files|*.*", "Text (*.txt *.TXT);;All Files (*.*)"},
        {"Workbooks|*.XLS;*.xlsx", "Workbooks (*.XLS *.xls *.xlsx *.XLSX)"},
        {"", ""},
    };
    for (const FilterCase& c : cases)
        EXPECT_EQ(QtFileFilter(QString::fromLatin1(c.program)), QString::fromLatin1(c.qt)) << c.program;
}

struct BoxCase {
    const char* title;
    MsgIcon icon;
    MsgButtons buttons;
    QMessageBox::StandardButton click;  // NoButton: closed with Escape
    const char* shownTitle;
    QMessageBox::Icon shownIcon;
    QMessageBox::StandardButtons shownButtons;
    MsgAnswer answer;
};

TEST(QtPrompterTest, ShowsTheBoxAsAskedAndReportsTheAnswer)
{
    const BoxCase cases[] = {
        {"", MsgIcon::Question, MsgButtons::YesNo, QMessageBox::No, "KOV", QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, MsgAnswer::No},
        {"", MsgIcon::Question, MsgButtons::YesNo, QMessageBox::Yes, "KOV", QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, MsgAnswer::Yes},
        {"Fatal Error", MsgIcon::Critical, MsgButtons::Ok, QMessageBox::Ok, "Fatal Error", QMessageBox::Critical,
         QMessageBox::Ok, MsgAnswer::Ok},
        {"Range", MsgIcon::Exclamation, MsgButtons::OkCancel, QMessageBox::NoButton, "Range", QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel, MsgAnswer::Cancel},
        {"", MsgIcon::Information, MsgButtons::YesNo, QMessageBox::NoButton, "KOV", QMessageBox::Information,
         QMessageBox::Yes | QMessageBox::No, MsgAnswer::No},
    };
    QtPrompter prompter;
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.title << " / " << static_cast<int>(c.click));
        WhenModalShown([&c](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QString::fromLatin1(c.shownTitle));
            EXPECT_EQ(box->text(), QStringLiteral("Ok to exit without saving changes?"));
            EXPECT_EQ(box->icon(), c.shownIcon);
            EXPECT_EQ(box->standardButtons(), c.shownButtons);
            if (c.click == QMessageBox::NoButton)
                box->reject();
            else
                box->button(c.click)->click();
        });
        EXPECT_EQ(prompter.message(QStringLiteral("Ok to exit without saving changes?"), QString::fromLatin1(c.title),
                                   c.icon, c.buttons),
                  c.answer);
    }
}

TEST(QtPrompterTest, SaveDialogProposesNameAndAddsTheExtension)
{
    test::TempProgramFolder folder;
    QtPrompter prompter;
    WhenModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("File to Save"));
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Design Files (*.MSK *.msk)"});
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(folder.path()).canonicalPath());
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        // The program asks its own overwrite question.
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        // Typed into the name box: selectFile leaves the box alone while it has the focus, and whether it has it yet
        // is the window system's affair.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("OFFICE"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const QString chosen =
        prompter.chooseSaveFile({QStringLiteral("File to Save"), folder.path(), QStringLiteral(".MSK"),
                                 QStringLiteral("MSK"), QStringLiteral("Design Files |*.MSK")});
    EXPECT_EQ(QFileInfo(chosen).fileName(), QStringLiteral("OFFICE.MSK"));
    EXPECT_EQ(QFileInfo(chosen).dir().canonicalPath(), QDir(folder.path()).canonicalPath());
}

TEST(QtPrompterTest, CancelledOpenDialogAndMissingDocumentGiveNothing)
{
    test::TempProgramFolder folder;
    QtPrompter prompter;
    WhenModalShown([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("paa"));
        dialog->reject();
    });
    EXPECT_TRUE(prompter
                    .chooseOpenFile({QStringLiteral("Open"), folder.path(), QStringLiteral("PAA3Files|*.paa"),
                                     QStringLiteral("paa")})
                    .isEmpty());
    EXPECT_FALSE(prompter.openDocument(folder.file(QStringLiteral("NoSuchManual.doc"))));
}

}  // namespace
}  // namespace kov

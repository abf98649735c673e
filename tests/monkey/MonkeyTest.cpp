// Random keystrokes and clicks into every window a menu item opens, from a fixed seed, bounded in actions and in
// time: the program must not crash, fail an index check or lose a data file whatever the person does.
//
//   KOV_MONKEY_SEED     the seed (default below), to explore other sequences
//   KOV_MONKEY_ACTIONS  actions per window (default 300)
//   KOV_MONKEY_SECONDS  wall-clock cap of the whole run (default 60); the run stops early and still checks the files

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "Program.h"
#include "core/EqFile.h"
#include "core/FolderFile.h"
#include "core/LumoWindow.h"
#include "core/ProjectFile.h"
#include "core/SpectrumDatabase.h"
#include "meters/Ld824Meter.h"
#include "tests/fixtures/HandBuiltProject.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ParseError.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/TestClock.h"

namespace kov {
namespace {

constexpr unsigned DefaultSeed = 20260307;

unsigned long EnvNumber(const char* name, unsigned long fallback)
{
    bool ok = false;
    const unsigned long value = qEnvironmentVariable(name).toULong(&ok);
    return ok ? value : fallback;
}

using Rng = std::mt19937;

int Pick(Rng& rng, int count)
{
    return std::uniform_int_distribution<int>(0, count - 1)(rng);
}

bool Chance(Rng& rng, double p)
{
    return std::bernoulli_distribution(p)(rng);
}

// The person answers every question and dialog at random: any button the box offers, a file dialog cancelled or
// answered with a file of the temporary program folder (saves go to new names there, or to the name proposed, so a
// save never lands on a data file by the person's own choice).
class RandomPrompter : public Prompter {
public:
    RandomPrompter(Rng& rng, QString folder) : m_rng(rng), m_folder(std::move(folder)) {}

    MsgAnswer message(const QString& text, const QString& title, MsgIcon, MsgButtons buttons) override
    {
        ++m_messages;
        m_last = title + QStringLiteral(": ") + text;
        switch (buttons) {
            case MsgButtons::Ok:
                return MsgAnswer::Ok;
            case MsgButtons::OkCancel:
                return Chance(m_rng, 0.5) ? MsgAnswer::Ok : MsgAnswer::Cancel;
            case MsgButtons::YesNo:
                return Chance(m_rng, 0.5) ? MsgAnswer::Yes : MsgAnswer::No;
            case MsgButtons::YesNoCancel: {
                const MsgAnswer answers[] = {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
                return answers[Pick(m_rng, 3)];
            }
        }
        return MsgAnswer::Ok;
    }
    QString chooseSaveFile(const SaveFileRequest& request) override
    {
        ++m_dialogs;
        switch (Pick(m_rng, 3)) {
            case 0:
                return {};
            case 1: {
                const QString extension =
                    request.defaultExtension.isEmpty() ? QStringLiteral("MSK") : request.defaultExtension;
                return QDir(m_folder).filePath(QStringLiteral("MONKEY%1.%2").arg(Pick(m_rng, 3)).arg(extension));
            }
            default:
                return request.proposedName.isEmpty()
                           ? QString()
                           : QDir(m_folder).filePath(QFileInfo(request.proposedName).fileName());
        }
    }
    QString chooseOpenFile(const OpenFileRequest&) override
    {
        ++m_dialogs;
        const QStringList files = QDir(m_folder).entryList(QDir::Files, QDir::Name);
        const int choice = Pick(m_rng, static_cast<int>(files.size()) + 2);
        if (choice == 0)
            return {};
        if (choice == 1)
            return QDir(m_folder).filePath(QStringLiteral("NOSUCH.TXT"));
        return QDir(m_folder).filePath(files[choice - 2]);
    }
    QString chooseFolder(const QString&, const QString&) override
    {
        ++m_dialogs;
        return Chance(m_rng, 0.5) ? QString() : m_folder;
    }
    bool openDocument(const QString&) override { return Chance(m_rng, 0.5); }
    void beep() override {}

    int messages() const { return m_messages; }
    int dialogs() const { return m_dialogs; }
    const QString& lastMessage() const { return m_last; }

private:
    Rng& m_rng;
    QString m_folder;
    int m_messages = 0;
    int m_dialogs = 0;
    QString m_last;
};

// What the person types: digits, signs, letters and the keys that move or leave a box.
void TypeRandomKeys(Rng& rng, QWidget* target)
{
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Backspace,
                                   Qt::Key_Delete, Qt::Key_Left,  Qt::Key_Right, Qt::Key_Up,      Qt::Key_Down,
                                   Qt::Key_Home,   Qt::Key_End,   Qt::Key_Space, Qt::Key_Escape};
    static const char chars[] = "0123456789012345678901234567890123456789...---eEaZz,+ ";
    const QPointer<QWidget> guard(target);
    const int count = 1 + Pick(rng, 6);
    for (int i = 0; i < count && !guard.isNull(); ++i) {
        QWidget* to = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : guard.data();
        if (Chance(rng, 0.25))
            QTest::keyClick(to, keys[Pick(rng, std::size(keys))]);
        else
            QTest::keyClick(to, chars[Pick(rng, static_cast<int>(std::size(chars)) - 1)]);
        QApplication::processEvents();
    }
}

// A control the person can reach: shown, enabled, and of a kind that takes clicks or typing.
bool Reachable(QWidget* w)
{
    if (!w->isVisible() || !w->isEnabled())
        return false;
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w) ||
           qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w);
}

void ClickItemOf(Rng& rng, QAbstractItemView* view)
{
    QRect place;
    if (auto* list = qobject_cast<QListWidget*>(view); list && list->count() > 0)
        place = list->visualItemRect(list->item(Pick(rng, list->count())));
    else if (auto* tree = qobject_cast<QTreeWidget*>(view); tree && tree->topLevelItemCount() > 0)
        place = tree->visualItemRect(tree->topLevelItem(Pick(rng, tree->topLevelItemCount())));
    const QPoint at = place.isValid() ? place.center()
                                      : QPoint(Pick(rng, std::max(1, view->viewport()->width())),
                                               Pick(rng, std::max(1, view->viewport()->height())));
    if (Chance(rng, 0.2))
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    else
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

// One action of the person on `window`: a click, typing, or now and then the close box.
void RandomAction(Rng& rng, QWidget* window)
{
    if (Chance(rng, 0.02)) {
        window->close();
        return;
    }
    std::vector<QPointer<QWidget>> reachable;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (Reachable(w))
            reachable.emplace_back(w);
    }
    if (reachable.empty()) {
        TypeRandomKeys(rng, window);
        return;
    }
    QPointer<QWidget> w = reachable[static_cast<std::size_t>(Pick(rng, static_cast<int>(reachable.size())))];
    if (auto* view = qobject_cast<QAbstractItemView*>(w.data())) {
        ClickItemOf(rng, view);
    } else if (qobject_cast<QAbstractButton*>(w.data())) {
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    } else {
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(Pick(rng, std::max(1, w->width())), w->height() / 2));
    }
    QApplication::processEvents();
    if (!w.isNull() && !qobject_cast<QAbstractButton*>(w.data()) && Chance(rng, 0.8))
        TypeRandomKeys(rng, w);
}

// The data files of the program folder: each one there is a whole file its reader takes.
void ExpectFilesWhole(const test::TempProgramFolder& folder, const QString& after)
{
    const auto check = [&](const QString& name, auto parse) {
        const QByteArray bytes = folder.read(name);
        EXPECT_EQ(test::ParseError(parse(bytes, LumoData())), "")
            << name.toStdString() << " after " << after.toStdString();
    };
    for (const char* name : {"KOVSPEC.DAT", "DIRFILE.DAT"}) {
        EXPECT_TRUE(QFile::exists(folder.file(QLatin1String(name))))
            << name << " is gone after " << after.toStdString();
    }
    check(QStringLiteral("KOVSPEC.DAT"), ParseSpectrumDatabase);
    check(QStringLiteral("DIRFILE.DAT"), ParseFolderFile);
    const QDir dir(folder.path());
    for (const QString& name : dir.entryList({QStringLiteral("*.MSK")}, QDir::Files))
        check(name, ParseProjectFile);
    for (const QString& name : dir.entryList({QStringLiteral("*.EQ")}, QDir::Files))
        check(name, ParseEqFile);
}

class MonkeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No printing system to ask: the Printer Selection window lists nothing and prints nothing.
        qputenv("CUPS_SERVER", QFile::encodeName(folder.file(QStringLiteral("no-such-cups.sock"))));
        // The software search starts on the Wine drive of an empty home, not the machine's.
        qputenv("HOME", QFile::encodeName(folder.path()));
        qunsetenv("WINEPREFIX");
        folder.write(QStringLiteral("HANDBUILT.MSK"), test::GoldenFile(QStringLiteral("HANDBUILT.MSK")));
        folder.write(QStringLiteral("HANDBUILT.EQ"), test::GoldenFile(QStringLiteral("HANDBUILT.EQ")));
        ASSERT_TRUE(Main(*d, prompter, main));
        i16 failed = 0;
        OpenProjectFile(*d, prompter, folder.file(QStringLiteral("HANDBUILT.MSK")), failed);
        ASSERT_EQ(failed, 0);
        d->MG24Folder = folder.path();
        main.updateMainMenus();
        installOpeners();
    }

    // The program's own openers, with the random person, the test clock, a simulated meter on the serial line
    // (now and then a port that does not open) and two listed ports.
    void installOpeners()
    {
        InstallOpeners(main, {*d, prompter, clock,
                              [this]() -> ProgramPrinter& {
                                  if (!printer)
                                      printer = std::make_unique<ProgramPrinter>();
                                  return *printer;
                              },
                              [] {
                                  return std::vector<SerialPortEntry>{
                                      {QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0"), QString(), QString()},
                                      {QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"),
                                       QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI")}};
                              },
                              [this]() -> std::unique_ptr<SerialLink> {
                                  if (Chance(rng, 0.25))
                                      return nullptr;
                                  return std::make_unique<SimulatedLd824Link>(meter, clock);
                              }});
    }

    static std::vector<QPointer<LumoWindow>> shownWindows()
    {
        std::vector<QPointer<LumoWindow>> shown;
        for (LumoWindow* w : LumoWindow::openWindows()) {
            if (w->isVisible())
                shown.emplace_back(w);
        }
        return shown;
    }

    static void deleteClosed()
    {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Closes what is still open, the last opened first, as ending the program would; the random answers may keep a
    // window a few rounds.
    void closeAll()
    {
        for (int round = 0; round < 200; ++round) {
            const auto shown = shownWindows();
            if (shown.empty())
                return;
            // A window whose own checks refuse the close box (the spectrum editor with an untitled spectrum) is
            // left through its Cancel, as the person would.
            auto* cancel = shown.back()->findChild<QPushButton*>(QStringLiteral("CmdCancel"));
            if (round % 2 == 1 && cancel != nullptr && cancel->isVisible() && cancel->isEnabled())
                cancel->click();
            else if (round % 2 == 1)
                RandomAction(rng, shown.back());
            else
                shown.back()->close();
            deleteClosed();
        }
        std::printf("    kept open, last message %s\n", qPrintable(prompter.lastMessage()));
    }

    static std::vector<Indexed<f32, 11, 43>> meterFiles()
    {
        std::vector<Indexed<f32, 11, 43>> files(4);
        for (std::size_t f = 0; f < files.size(); ++f) {
            for (int b = 11; b <= 43; ++b)
                files[f](b) = 60.0f - 0.7f * static_cast<float>(b - 22) + static_cast<float>(f);
        }
        return files;
    }

    test::TempProgramFolder folder;
    const unsigned seed = static_cast<unsigned>(EnvNumber("KOV_MONKEY_SEED", DefaultSeed));
    Rng rng{seed};
    RandomPrompter prompter{rng, folder.path()};
    test::TestClock clock;
    Ld824Meter meter{meterFiles()};
    std::unique_ptr<ProgramPrinter> printer;
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
    LumoMain main{*d, prompter};
};

TEST_F(MonkeyTest, EveryWindowSurvivesRandomClicksAndTyping)
{
    const int actionsPerWindow = static_cast<int>(EnvNumber("KOV_MONKEY_ACTIONS", 300));
    const qint64 capMs = static_cast<qint64>(EnvNumber("KOV_MONKEY_SECONDS", 60)) * 1000;
    const QStringList items{QStringLiteral("GoProj"),    QStringLiteral("GoOpen"),  QStringLiteral("GoReview"),
                            QStringLiteral("GoRefSpec"), QStringLiteral("GoMask1"), QStringLiteral("GoMask2"),
                            QStringLiteral("GoMask3"),   QStringLiteral("GoMask4"), QStringLiteral("GoMask5"),
                            QStringLiteral("GoMask6"),   QStringLiteral("GoPage1"), QStringLiteral("GoPage2"),
                            QStringLiteral("GoPrinter"), QStringLiteral("GoComm"),  QStringLiteral("GoMG24")};
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("monkey seed %u (KOV_MONKEY_SEED), %d actions per window, %lld s in all\n", seed, actionsPerWindow,
                static_cast<long long>(capMs / 1000));
    QElapsedTimer took;
    took.start();

    // A person clicks on while the program waits (the fit, a download, a search); past the time cap the window is
    // asked to close, which stops the work under way.
    QPointer<QWidget> current;
    bool inYield = false;
    clock.onYield = [&] {
        if (inYield || current.isNull())
            return;
        QScopedValueRollback<bool> guard(inYield, true);
        if (took.elapsed() > capMs)
            current->close();
        else if (Chance(rng, 0.02))
            RandomAction(rng, current);
    };

    // A menu a control pops up runs its own loop; the person leaves it again, as Escape would.
    QTimer leavePopups;
    QObject::connect(&leavePopups, &QTimer::timeout, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    leavePopups.start(30);

    int total = 0;
    for (int i = 0; i < items.size(); ++i) {
        const QString& item = items[i];
        QAction* action = main.item(item);
        ASSERT_NE(action, nullptr) << item.toStdString();
        if (!action->isVisible() || !action->isEnabled()) {
            std::printf("  %-9s not offered for this project, skipped\n", qPrintable(item));
            continue;
        }
        const qint64 windowEnd =
            took.elapsed() + std::max<qint64>(0, (capMs - took.elapsed()) / static_cast<qint64>(items.size() - i));
        action->trigger();
        test::LetEventsRun();
        const auto opened = shownWindows();
        ASSERT_FALSE(opened.empty()) << item.toStdString() << " opened no window";
        const QString name = opened.back()->objectName();
        int tried = 0;
        while (tried < actionsPerWindow && took.elapsed() < windowEnd) {
            const auto shown = shownWindows();
            if (shown.empty()) {
                // Closed by the person: opened again, as the person would to go on.
                if (!action->isVisible() || !action->isEnabled())
                    break;
                action->trigger();
                test::LetEventsRun();
                ++tried;
                continue;
            }
            // Mostly the window opened last, now and then one under it.
            current = Chance(rng, 0.85) ? shown.back() : shown[static_cast<std::size_t>(Pick(rng, shown.size()))];
            RandomAction(rng, current);
            ++tried;
            deleteClosed();
        }
        current.clear();
        closeAll();
        total += tried;
        std::printf("  %-9s %-12s %4d actions, %lld ms so far\n", qPrintable(item), qPrintable(name), tried,
                    static_cast<long long>(took.elapsed()));
        EXPECT_TRUE(shownWindows().empty()) << name.toStdString() << " could not be closed";
        EXPECT_TRUE(main.isEnabled()) << "the main window stays disabled after " << name.toStdString();
        ExpectFilesWhole(folder, name);
    }
    clock.onYield = nullptr;
    std::printf("monkey seed %u: %d actions in %lld ms, %d messages and %d file dialogs answered\n", seed, total,
                static_cast<long long>(took.elapsed()), prompter.messages(), prompter.dialogs());
}

}  // namespace
}  // namespace kov

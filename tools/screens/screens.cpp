// Starts KOV as the program does, with the data beside this executable, brings one window into view and saves
// what the screen shows as a PNG:  kov_screens <screen> <file.png>   (kov_screens --list names the screens).

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <vector>

#include "Program.h"
#include "core/EqFile.h"
#include "core/LumoDirWindow.h"
#include "core/ProjectFile.h"
#include "core/QtPrompter.h"
#include "core/WindowPlacement.h"
#include "masking/MaskWindow.h"
#include "meters/Ld824Meter.h"
#include "report/LumoPrinterWindow.h"

namespace {

struct Screen {
    const char* name;
    const char* shows;
    // Brings the window into view after start-up; returns the window to wait for.
    std::function<QWidget*(kov::Program&)> prepare;
};

void LetEventsRun(int milliseconds)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

QWidget* OpenMenu(kov::Program& program, const QString& menuName)
{
    kov::LumoMain& main = program.mainWindow();
    auto* menu = main.findChild<QMenu*>(menuName);
    if (menu == nullptr)
        return &main;
    LetEventsRun(300);
    main.menuBar()->setActiveAction(menu->menuAction());
    return menu;
}

// A project under way on a ZUV-AR24, so that the Equalize System menu is usable and shows that product's items.
void ZuvProject(kov::Program& program)
{
    kov::LumoData& d = program.data();
    d.ProjectStage = 2;
    d.Generator = kov::GeneratorZUVAR24;
    d.ProjectFileName = QDir(d.AppPath).filePath(QStringLiteral("OFFICE.MSK"));
    program.mainWindow().updateMainMenus();
    program.mainWindow().setWindowTitle(kov::MainCaption(d.ProjectFileName));
}

QWidget* ProgramWindow(const QString& objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == objectName && w->isVisible())
            return w;
    }
    return nullptr;
}

QWidget* OpenItem(kov::Program& program, const QString& item)
{
    LetEventsRun(300);
    program.mainWindow().item(item)->trigger();
    return nullptr;
}

// Sample project files for the Open window, beside the program only while the tool runs.
class SampleProjects {
public:
    ~SampleProjects()
    {
        for (const QString& path : m_made)
            QFile::remove(path);
    }
    void addFile(const QString& path, const QByteArray& bytes)
    {
        if (QFileInfo::exists(path))
            return;
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(bytes);
            m_made << path;
        }
    }
    void add(kov::Program& program, const QString& fileName, const QString& name, const QString& date,
             kov::i16 generator)
    {
        const QString path = QDir(program.data().AppPath).filePath(fileName);
        if (QFileInfo::exists(path))
            return;
        kov::LumoData d;
        d.ProjectInfo(1) = name;
        d.ProjectInfo(2) = date;
        d.Generator = generator;
        d.ProjectStage = 2;
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(kov::ProjectFileBytes(d));
            m_made << path;
        }
    }

private:
    QStringList m_made;
};

SampleProjects& Samples()
{
    static SampleProjects samples;
    return samples;
}

QWidget* ClientOverProject(kov::Program& p)
{
    kov::LumoData& d = p.data();
    d.ProjectInfo(1) = QStringLiteral("THIRD FLOOR, EAST WING");
    d.ProjectInfo(2) = QStringLiteral("3/7/2026");
    d.Generator = kov::GeneratorDA2500;
    d.ProjectStage = 1;
    p.mainWindow().updateMainMenus();
    OpenItem(p, QStringLiteral("GoProj"));
    return ProgramWindow(QStringLiteral("LumoClient"));
}

QWidget* GetFileWithOneClicked(kov::Program& p)
{
    Samples().add(p, QStringLiteral("ANNEX.MSK"), QStringLiteral("ANNEX, GROUND FLOOR"), QStringLiteral("1/14/2026"),
                  kov::GeneratorDU3001);
    Samples().add(p, QStringLiteral("LOBBY.MSK"), QStringLiteral("LOBBY AND RECEPTION"), QStringLiteral("11/2/2025"),
                  kov::GeneratorVO120R);
    Samples().add(p, QStringLiteral("THIRD.MSK"), QStringLiteral("THIRD FLOOR, EAST WING"), QStringLiteral("3/7/2026"),
                  kov::GeneratorZUVAR24);
    OpenItem(p, QStringLiteral("GoOpen"));
    QWidget* window = ProgramWindow(QStringLiteral("LumoGetFile"));
    if (window == nullptr)
        return nullptr;
    if (auto* files = window->findChild<QListWidget*>(QStringLiteral("FileBoxOffice"))) {
        const QList<QListWidgetItem*> third = files->findItems(QStringLiteral("THIRD.MSK"), Qt::MatchExactly);
        if (!third.isEmpty())
            files->setCurrentItem(third.front());
    }
    return window;
}

// A project on `generator` with a file name, so that the channel items are usable.
void MaskingProject(kov::Program& program, kov::i16 generator)
{
    kov::LumoData& d = program.data();
    d.ProjectInfo(1) = QStringLiteral("THIRD FLOOR, EAST WING");
    d.ProjectInfo(2) = QStringLiteral("3/7/2026");
    d.ProjectStage = 2;
    d.Generator = generator;
    d.ProjectFileName = QDir(d.AppPath).filePath(QStringLiteral("OFFICE.MSK"));
    d.ProjectBaseName = QStringLiteral("OFFICE");
    // The folder question has been answered before.
    d.MG24Folder = d.AppPath;
    program.mainWindow().updateMainMenus();
    program.mainWindow().setWindowTitle(kov::MainCaption(d.ProjectFileName));
}

// Ten tests as an installer measures them under one channel: the goal shape a little low in the bass, too
// strong towards the treble where the tiles reflect, and a decibel or so apart from one place to the next.
void MeasuredTests(kov::LumoData& d, int ch, int entry)
{
    static const float jitter[] = {0.4f, -0.7f, 1.1f, -0.2f, 0.8f, -1.2f, 0.3f, -0.5f, 0.9f, -0.9f, 0.1f};
    d.MaskSpectrumIndex(ch) = static_cast<kov::i16>(entry);
    d.MaskLowCutFreq(ch) = 100;
    d.MaskHighCutSlope(ch) = 12;
    d.MaskLowCutSlope(ch) = 12;
    d.MaskTestCount(ch) = 10;
    for (int t = 1; t <= 10; ++t) {
        for (int b = kov::FirstDataBand; b <= kov::LastDataBand; ++b) {
            const int k = b - kov::FirstDataBand;
            const float tilt = 0.35f * static_cast<float>(k - 8);
            const float level = d.SpecLevel(entry, b) + 1.5f + tilt + jitter[(t * 3 + k) % 11];
            d.MaskTest(t, ch, b) = std::round(level * 10.0f) / 10.0f;
        }
    }
}

kov::Mask* OpenMask(kov::Program& p, int ch)
{
    OpenItem(p, QStringLiteral("GoMask%1").arg(ch));
    return qobject_cast<kov::Mask*>(ProgramWindow(QStringLiteral("Mask")));
}

void Click(QWidget* window, const char* button)
{
    if (auto* b = window->findChild<QPushButton*>(QString::fromLatin1(button)))
        b->click();
    LetEventsRun(100);
}

QWidget* MaskWithGoalChosen(kov::Program& p)
{
    MaskingProject(p, kov::GeneratorDA2500);
    kov::Mask* mask = OpenMask(p, 1);
    if (mask == nullptr)
        return nullptr;
    LetEventsRun(300);
    if (auto* list = mask->findChild<QListWidget*>(QStringLiteral("LstSpec")))
        list->setCurrentRow(0);
    Click(mask, "CmdUp");
    Click(mask, "CmdUp");
    return mask;
}

QWidget* MaskWithTests(kov::Program& p)
{
    MaskingProject(p, kov::GeneratorDA2500);
    MeasuredTests(p.data(), 1, 1);
    kov::Mask* mask = OpenMask(p, 1);
    if (mask == nullptr)
        return nullptr;
    LetEventsRun(300);
    Click(mask, "CmdPick");
    return mask;
}

// Answers the file dialog the import opens with a fixture, as the installer would pick the file.
void PickFileWhenAsked(const QString& name)
{
    QTimer::singleShot(400, [name] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            std::fprintf(stderr, "kov_screens: no file dialog to answer\n");
            return;
        }
        // selectFile leaves the name box alone while it has the focus: type the name as a person would.
        dialog->setDirectory(QStringLiteral(KOV_METER_FIXTURES_DIR));
        if (auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            box->setText(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

void Type(QWidget* window, const char* box, const QString& text)
{
    if (auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(box))) {
        edit->setFocus();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    LetEventsRun(100);
}

// An empty channel whose grid takes records 3 to 5 of a PAA3 export through the real dialog and range boxes.
QWidget* MaskAfterPaa3(kov::Program& p, bool stopAtRange)
{
    MaskingProject(p, kov::GeneratorDA2500);
    kov::Mask* mask = OpenMask(p, 1);
    if (mask == nullptr)
        return nullptr;
    LetEventsRun(300);
    if (auto* list = mask->findChild<QListWidget*>(QStringLiteral("LstSpec")))
        list->setCurrentRow(1);
    Click(mask, "CmdPick");
    PickFileWhenAsked(QStringLiteral("paa3.paa"));
    Click(mask, "CmdDownloadPAA");
    Type(mask, "DatFile_0", QStringLiteral("3"));
    Type(mask, "DatFile_1", QStringLiteral("5"));
    if (!stopAtRange)
        Click(mask, "CmdFile");
    return mask;
}

// Files 2 to 4 fetched from a simulated LD824 at 9600 baud, in real time: the note counts the files as they come.
QWidget* MaskAfterLd824(kov::Program& p)
{
    MaskingProject(p, kov::GeneratorDA2500);
    kov::Mask* mask = OpenMask(p, 1);
    if (mask == nullptr)
        return nullptr;
    static std::vector<kov::Indexed<float, 11, 43>> files(6);
    for (int f = 1; f <= 6; ++f) {
        for (int b = 11; b <= 43; ++b)
            files[static_cast<std::size_t>(f - 1)](b) =
                58.0f - 0.8f * static_cast<float>(b - 22) + 0.7f * static_cast<float>(f);
    }
    static kov::Ld824Meter meter(files);
    static kov::SystemClock lineClock;
    mask->setSerialLinkFactory([] { return std::make_unique<kov::SimulatedLd824Link>(meter, lineClock, 10.0 / 9600); });
    LetEventsRun(300);
    if (auto* list = mask->findChild<QListWidget*>(QStringLiteral("LstSpec")))
        list->setCurrentRow(1);
    Click(mask, "CmdPick");
    Click(mask, "CmdDownloadLD");
    Type(mask, "DatFile_0", QStringLiteral("2"));
    Type(mask, "DatFile_1", QStringLiteral("4"));
    QElapsedTimer took;
    took.start();
    Click(mask, "CmdFile");
    std::printf("the download took %.2f s\n", took.elapsed() / 1000.0);
    return mask;
}

// The spectrum database editor with a masking spectrum chosen over the neutral contour.
QWidget* SpectraWithSpectrum(kov::Program& p)
{
    OpenItem(p, QStringLiteral("GoRefSpec"));
    QWidget* editor = ProgramWindow(QStringLiteral("LumoDB"));
    if (editor == nullptr)
        return nullptr;
    LetEventsRun(300);
    if (auto* option = editor->findChild<QAbstractButton*>(QStringLiteral("OptSpec_2")))
        option->click();
    return editor;
}

// A ZUV-AR24 EQ file with both paging lines (channel 1 at the floor, location 3) and two masking lines, opened in
// the review window through its Open window.
QWidget* ReviewOfAnEqFile(kov::Program& p)
{
    kov::LumoData& d = p.data();
    d.MG24Folder = d.AppPath + QLatin1Char('/');
    kov::LumoData image;
    const float level[] = {6, 4};
    for (int k = 1; k <= 2; ++k) {
        image.EqPageChannel(k) = static_cast<kov::i16>(k);
        image.EqPageFreq(k, 1) = k == 1 ? 2500 : 2000;
        image.EqPageWidth(k, 1) = k == 1 ? 1.5f : 2.0f;
        image.EqPageLevel(k, 1) = k == 1 ? 8 : level[1];
    }
    image.EqPageFreq(1, 2) = 1250;
    image.EqPageWidth(1, 2) = 0.75f;
    image.EqPageLevel(1, 2) = 3;
    d.PageSpeakerOption(1) = 3;
    for (int m = 3; m <= 4; ++m) {
        image.EqChannel(m) = static_cast<kov::i16>(m);
        image.EqHighCutFreq(m) = m == 3 ? 6300 : 5000;
        image.EqLowCutFreq(m) = 100;
        image.EqGain(m) = m == 3 ? -4.0f : 2.0f;
        for (int b = 22; b <= 39; ++b)
            image.EqBand(m, b) = static_cast<float>((b * 7 + m) % 9 - 4);
    }
    Samples().addFile(QDir(d.AppPath).filePath(QStringLiteral("OFFICE3.EQ")), kov::EqFileBytes(image));
    OpenItem(p, QStringLiteral("GoReview"));
    QWidget* review = ProgramWindow(QStringLiteral("Review"));
    if (review == nullptr)
        return nullptr;
    LetEventsRun(300);
    Click(review, "CmdDownload");
    LetEventsRun(300);
    if (QWidget* chooser = ProgramWindow(QStringLiteral("LumoGetFile"))) {
        if (auto* files = chooser->findChild<QListWidget*>(QStringLiteral("FileBoxOffice"))) {
            const QList<QListWidgetItem*> found = files->findItems(QStringLiteral("OFFICE3.EQ"), Qt::MatchExactly);
            if (!found.isEmpty())
                files->setCurrentItem(found.front());
        }
        Click(chooser, "CmdOpen");
    }
    return review;
}

// The road to the corrections; with a real clock the fit takes its visible time. Two pictures are taken while it
// runs (<out>-step1.png, <out>-step2.png) and the time it took is printed.
QWidget* MaskFitted(kov::Program& p, kov::i16 generator, int ch, const QString& midFitPicture)
{
    MaskingProject(p, generator);
    MeasuredTests(p.data(), ch, 1);
    kov::Mask* mask = OpenMask(p, ch);
    if (mask == nullptr)
        return nullptr;
    LetEventsRun(300);
    Click(mask, "CmdUp");
    Click(mask, "CmdPick");
    Click(mask, "CmdCalc");
    if (!midFitPicture.isEmpty()) {
        for (int step = 1; step <= 2; ++step) {
            QTimer::singleShot(350 * step, mask, [mask, midFitPicture, step] {
                QString out = midFitPicture;
                out.replace(QStringLiteral(".png"), QStringLiteral("-step%1.png").arg(step));
                mask->grab().save(out, "PNG");
                std::printf("mid-fit picture %s\n", qPrintable(out));
            });
        }
    }
    QElapsedTimer took;
    took.start();
    Click(mask, "CmdMatch");
    std::printf("the fit took %.2f s\n", (took.elapsed() - 100) / 1000.0);
    return mask;
}

// A paging channel over the masking result of a channel, calculated and, with `settings`, its generator settings
// shown: DA2500 paging channel 1 face down in a suspended ceiling over masking channel 1, or ZUV-AR24 paging
// channel 2 under a raised floor over masking channel 4.
QWidget* PageCalculated(kov::Program& p, kov::i16 generator, bool settings)
{
    MaskingProject(p, generator);
    kov::LumoData& d = p.data();
    const bool zuv = generator == kov::GeneratorZUVAR24;
    const int maskingChannel = zuv ? 4 : 1;
    for (int b = kov::FirstDataBand; b <= kov::LastDataBand; ++b)
        d.MaskMatched(maskingChannel, b) = d.SpecLevel(2, b) + 6.0f;
    OpenItem(p, QStringLiteral("GoPage%1").arg(zuv ? 2 : 1));
    QWidget* page = ProgramWindow(QStringLiteral("Page"));
    if (page == nullptr)
        return nullptr;
    LetEventsRun(200);
    for (const char* option : {zuv ? "OptSpec_3" : "OptSpec_2", zuv ? "OptSpkr_3" : "OptSpkr_4"}) {
        if (auto* o = page->findChild<QRadioButton*>(QString::fromLatin1(option)))
            o->click();
        LetEventsRun(100);
    }
    Click(page, "CmdCalculate");
    if (settings)
        Click(page, "CmdEQSet");
    return page;
}

// Printer Selection with the first installed printer clicked, opened through its menu item when the program has
// an opener for it and built here as that opener would otherwise.
QWidget* PrinterWithFirstChosen(kov::Program& p)
{
    OpenItem(p, QStringLiteral("GoPrinter"));
    QWidget* window = ProgramWindow(QStringLiteral("LumoPrinter"));
    if (window == nullptr) {
        static kov::QtPrompter prompter;
        window = new kov::LumoPrinter(p.printer(), prompter, &p.mainWindow());
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(&p.mainWindow(), &QObject::destroyed, [w = QPointer<QWidget>(window)] { delete w.data(); });
        kov::CenterAndShowForm(window, 4500, 5200);
    }
    LetEventsRun(300);
    if (auto* printers = window->findChild<QListWidget*>(QStringLiteral("ListPrinter"));
        printers && printers->count() > 0) {
        QTest::mouseClick(printers->viewport(), Qt::LeftButton, {},
                          printers->visualItemRect(printers->item(0)).center());
        std::printf("chose %s\n", qPrintable(printers->item(0)->text()));
    } else {
        std::fprintf(stderr, "kov_screens: no printer to choose\n");
    }
    return window;
}

// The search window over an installer's home with a Wine drive where the ZUV-AR24 software is installed, as it opens
// or (`search`) after Search.
QWidget* FindFileOverWineDrive(kov::Program& p, bool search)
{
    static QTemporaryDir home;
    const QDir drive(home.filePath(QStringLiteral(".wine/drive_c")));
    for (const char* folder : {"Program Files/Common Files/", "Program Files/Internet Explorer/", "windows/system32/",
                               "Program Files (x86)/Corvex/ZUV-AR24/"})
        drive.mkpath(QString::fromLatin1(folder));
    QFile program(drive.filePath(QStringLiteral("Program Files (x86)/Corvex/ZUV-AR24/zuv-ar24.exe")));
    (void)program.open(QIODevice::WriteOnly);
    qunsetenv("WINEPREFIX");
    qputenv("HOME", QFile::encodeName(home.path()));
    OpenItem(p, QStringLiteral("GoMG24"));
    QWidget* window = ProgramWindow(QStringLiteral("FindFile"));
    if (window != nullptr && search) {
        LetEventsRun(300);
        Click(window, "CmdFind");
    }
    return window;
}

// Comm Port over a machine with one built-in port and a USB adapter, the adapter clicked. The window is built as the
// Comm Port item builds it, with two listed ports in place of the ones this machine happens to have.
QWidget* CommPortWithAdapterPicked(kov::Program& p)
{
    static kov::QtPrompter prompter;
    auto* window = new kov::LumoDir(p.data(), prompter, &p.mainWindow(), [] {
        return std::vector<kov::SerialPortEntry>{
            {QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0"), QString(), QString()},
            {QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"),
             QStringLiteral("FTDI")}};
    });
    window->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(&p.mainWindow(), &QObject::destroyed, [w = QPointer<QWidget>(window)] { delete w.data(); });
    kov::CenterAndShowForm(window, 7770, 1565);
    LetEventsRun(300);
    if (auto* ports = window->findChild<QTreeWidget*>(QStringLiteral("LstPorts"));
        ports && ports->topLevelItemCount() > 1)
        QTest::mouseClick(ports->viewport(), Qt::LeftButton, {},
                          ports->visualItemRect(ports->topLevelItem(1)).center());
    return window;
}

QString g_outFile;

const std::vector<Screen>& Screens()
{
    static const std::vector<Screen> screens{
        {"main", "the main window after start-up", [](kov::Program& p) -> QWidget* { return &p.mainWindow(); }},
        {"menu-file", "the File menu open", [](kov::Program& p) { return OpenMenu(p, QStringLiteral("DoFile")); }},
        {"menu-documents", "the Documents menu open",
         [](kov::Program& p) { return OpenMenu(p, QStringLiteral("DoDoc")); }},
        {"menu-equalize", "the Equalize System menu of a ZUV-AR24 project",
         [](kov::Program& p) {
             ZuvProject(p);
             return OpenMenu(p, QStringLiteral("DoMask"));
         }},
        {"client", "Project Information over a project", ClientOverProject},
        {"getfile", "the Open window with a project file clicked", GetFileWithOneClicked},
        {"mask-goal", "the Mask window choosing the goal, entry 1 with its recommendations", MaskWithGoalChosen},
        {"mask-data", "the Mask window with ten tests in the grid", MaskWithTests},
        {"mask-match", "the Mask window after the fit of a ZUV-AR24 channel",
         [](kov::Program& p) { return MaskFitted(p, kov::GeneratorZUVAR24, 3, g_outFile); }},
        {"mask-narrow", "the corrections of a DA2500 channel beside the generator's software",
         [](kov::Program& p) { return MaskFitted(p, kov::GeneratorDA2500, 1, QString()); }},
        {"mask-paa3-range", "the record range of a PAA3 import, 3 to 5 typed",
         [](kov::Program& p) { return MaskAfterPaa3(p, true); }},
        {"mask-paa3", "the grid after records 3 to 5 of a PAA3 export",
         [](kov::Program& p) { return MaskAfterPaa3(p, false); }},
        {"mask-ld824", "the grid after files 2 to 4 of a simulated LD824", MaskAfterLd824},
        {"review", "the review window after opening a ZUV-AR24 EQ file", ReviewOfAnEqFile},
        {"spectra", "the spectrum database editor with a masking spectrum and the neutral contour",
         SpectraWithSpectrum},
        {"page", "the Page window of a ZUV-AR24 paging channel with its MG24 settings",
         [](kov::Program& p) { return PageCalculated(p, kov::GeneratorZUVAR24, true); }},
        {"page-da2500", "the Page window of a DA2500 paging channel with its 1/3-octave settings",
         [](kov::Program& p) { return PageCalculated(p, kov::GeneratorDA2500, true); }},
        {"page-calculated", "the Page window of a DA2500 paging channel after Calculate",
         [](kov::Program& p) { return PageCalculated(p, kov::GeneratorDA2500, false); }},
        {"printer", "Printer Selection with the first printer chosen", PrinterWithFirstChosen},
        {"commport", "Comm Port with a USB adapter picked from the system's ports", CommPortWithAdapterPicked},
        {"findfile", "Locate MG24 Software after finding the ZUV-AR24 program on a Wine drive",
         [](kov::Program& p) { return FindFileOverWineDrive(p, true); }},
        {"findfile-open", "Locate MG24 Software as it opens",
         [](kov::Program& p) { return FindFileOverWineDrive(p, false); }},
        {"mask-widened", "the narrowed DA2500 corrections pulled wide again",
         [](kov::Program& p) {
             QWidget* mask = MaskFitted(p, kov::GeneratorDA2500, 1, QString());
             if (mask != nullptr)
                 mask->resize(kov::TwipsToPixels(8000), mask->height());
             return mask;
         }},
    };
    return screens;
}

bool WaitUntilShown(QWidget* window, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (window->isVisible() && window->windowHandle() != nullptr && window->windowHandle()->isExposed())
            return true;
        QThread::msleep(10);
    }
    return false;
}

// Xvfb has no window manager to carry out the maximise request; do what one would.
void MaximiseWithoutWindowManager(QWidget& main)
{
    QScreen* screen = main.screen();
    if (screen == nullptr || !main.isMaximized())
        return;
    const QRect available = screen->availableGeometry();
    if (main.frameGeometry().size() == available.size())
        return;
    std::fprintf(stderr, "kov_screens: no window manager maximised the main window; sizing it to the screen\n");
    main.setGeometry(available);
}

bool SaveScreen(QWidget& main, const QString& out)
{
    QPixmap shot = main.screen() != nullptr ? main.screen()->grabWindow(0) : QPixmap();
    if (shot.isNull())
        shot = main.grab();
    QDir().mkpath(QFileInfo(out).absolutePath());
    if (!shot.save(out, "PNG")) {
        std::fprintf(stderr, "kov_screens: cannot write %s\n", qPrintable(out));
        return false;
    }
    // Without a window manager there is no title bar in the picture, so the caption is told here.
    std::printf("%s: %dx%d, caption \"%s\"\n", qPrintable(out), shot.width(), shot.height(),
                qPrintable(main.windowTitle()));
    return true;
}

int Usage()
{
    std::fprintf(stderr, "usage: kov_screens <screen> <file.png>\n       kov_screens --list\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    // Listing needs no display.
    if (argc == 2 && std::string_view(argv[1]) == "--list") {
        for (const Screen& s : Screens())
            std::printf("%s\t%s\n", s.name, s.shows);
        return 0;
    }
    QApplication app(argc, argv);
    kov::ConfigureApplication();
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() != 2)
        return Usage();
    const Screen* screen = nullptr;
    for (const Screen& s : Screens()) {
        if (args[0] == QLatin1String(s.name))
            screen = &s;
    }
    if (screen == nullptr) {
        std::fprintf(stderr, "kov_screens: no screen named %s\n", qPrintable(args[0]));
        return Usage();
    }

    g_outFile = args[1];
    kov::Program program;
    // A message box waiting for an answer (a start-up failure, say) would hold the tool for ever: show it instead.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        std::fprintf(stderr, "kov_screens: %s did not come up in time; saving what the screen shows\n", screen->name);
        SaveScreen(program.mainWindow(), args[1]);
        std::fflush(nullptr);
        std::_Exit(3);
    });
    watchdog.start(20000);
    if (!program.start()) {
        std::fprintf(stderr, "kov_screens: KOV ended at start-up\n");
        return 1;
    }
    kov::LumoMain& main = program.mainWindow();
    if (!WaitUntilShown(&main, 5000)) {
        std::fprintf(stderr, "kov_screens: the main window was never shown\n");
        return 1;
    }
    MaximiseWithoutWindowManager(main);
    LetEventsRun(300);

    QWidget* window = screen->prepare(program);
    if (window == nullptr || !WaitUntilShown(window, 5000)) {
        std::fprintf(stderr, "kov_screens: %s was never shown\n", screen->name);
        return 1;
    }
    LetEventsRun(500);

    if (!SaveScreen(main, args[1]))
        return 1;
    if (window->isWindow() && window != &main)
        std::printf("  %s: %dx%d, caption \"%s\"\n", qPrintable(window->objectName()), window->width(),
                    window->height(), qPrintable(window->windowTitle()));
    return 0;
}

#include "core/LumoMainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <exception>

#include "core/Documents.h"
#include "core/LumoWindow.h"
#include "core/Project.h"
#include "core/ProjectCommands.h"
#include "core/WindowPlacement.h"

namespace kov {

namespace {

struct Logo {
    const char* fileName;
    int widthTwips;
    int heightTwips;
    int topTwips;
};
constexpr Logo PellarLogo{"pellar.jpg", 2820, 1410, 1000};
constexpr Logo CorvexLogo{"Corvexlogonew.jpg", 3800, 1410, 2500};

constexpr int LogoOffsetTwips = 800;

const QColor Background(232, 237, 242);

// The channel number of a channel item ("GoMask3" -> 3), 0 for any other item ("GoMaskSheet").
int ChannelOf(const QString& name, QLatin1String prefix, int lastChannel)
{
    if (name.size() != prefix.size() + 1 || !name.startsWith(prefix))
        return 0;
    const int channel = name.back().digitValue();
    return channel >= 1 && channel <= lastChannel ? channel : 0;
}

}  // namespace

QString MainCaption(const QString& projectFileName)
{
    if (projectFileName.trimmed().isEmpty())
        return QStringLiteral("Project File Name: None");
    return QStringLiteral("Project File Name: ") + projectFileName;
}

QRect LogoGeometry(int windowWidthPixels, int widthTwips, int heightTwips, int topTwips)
{
    const int leftTwips = (windowWidthPixels * TwipsPerPixel - widthTwips) / 2 + LogoOffsetTwips;
    return {TwipsToPixels(leftTwips), TwipsToPixels(topTwips), TwipsToPixels(widthTwips), TwipsToPixels(heightTwips)};
}

LumoMain::LumoMain(LumoData& d, Prompter& prompter, Openers openers, QWidget* parent)
    : QMainWindow(parent), m_data(d), m_prompter(prompter), m_openers(std::move(openers))
{
    setObjectName(QStringLiteral("LumoMain"));
    setWindowTitle(MainCaption(m_data.ProjectFileName));
    buildMenus();

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("LumoMainClient"));
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, Background);
    client->setPalette(palette);
    setCentralWidget(client);

    m_image1 = new QLabel(client);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image2 = new QLabel(client);
    m_image2->setObjectName(QStringLiteral("Image2"));
    for (QLabel* image : {m_image1, m_image2}) {
        image->setScaledContents(true);
        image->hide();
    }
    m_watch = new ActivationWatch(this);
    connect(m_watch, &ActivationWatch::activated, this, &LumoMain::activated);
}

LumoMain::~LumoMain()
{
    delete m_watch;
    // Windows that outlive this one (built for one opening, deleted with it) must not reach back into it; only the
    // ones holding it would, and only this main window's, not another's.
    for (const QPointer<QWidget>& w : std::as_const(m_holders)) {
        if (auto* window = qobject_cast<LumoWindow*>(w.data()))
            window->detachMain();
    }
}

void LumoMain::holdDisabled(QWidget* window, bool hold)
{
    m_holders.removeIf([window](const QPointer<QWidget>& w) { return w.isNull() || w == window; });
    if (hold)
        m_holders.append(window);
    const bool free = m_holders.isEmpty();
    if (isEnabled() != free)
        setEnabled(free);
    if (free && !hold)
        updateMainMenus();
}

void LumoMain::setOpener(const QString& item, Opener opener)
{
    m_openers.insert(item, std::move(opener));
}

QStringList LumoMain::itemNames()
{
    return {QStringLiteral("DoFile"),      QStringLiteral("GoNew"),           QStringLiteral("GoOpen"),
            QStringLiteral("GoSave"),      QStringLiteral("GoSaveAs"),        QStringLiteral("GoReview"),
            QStringLiteral("GoMG24"),      QStringLiteral("GoExit"),          QStringLiteral("DoDoc"),
            QStringLiteral("GoComm"),      QStringLiteral("GoMaskSheet"),     QStringLiteral("GoExcelSheet"),
            QStringLiteral("GoHelp"),      QStringLiteral("GoManual"),        QStringLiteral("GoMeter"),
            QStringLiteral("GoDA2500Use"), QStringLiteral("GoDU3001Use"),     QStringLiteral("GoMG24Use"),
            QStringLiteral("GoRefSpec"),   QStringLiteral("GoPrinter"),       QStringLiteral("GoProj"),
            QStringLiteral("DoMask"),      QStringLiteral("GoMask1"),         QStringLiteral("GoMask2"),
            QStringLiteral("GoMask3"),     QStringLiteral("GoMask4"),         QStringLiteral("GoMask5"),
            QStringLiteral("GoMask6"),     QStringLiteral("GoPage1"),         QStringLiteral("GoPage2"),
            QStringLiteral("GoReport"),    QStringLiteral("GoReportPreview"), QStringLiteral("GoReportPdf")};
}

QMenu* LumoMain::addMenu(const QString& name, const QString& caption)
{
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    m_items.insert(name, menu->menuAction());
    return menu;
}

QAction* LumoMain::addItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu != nullptr ? menu->addAction(caption) : menuBar()->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, name] { runItem(name); });
    m_items.insert(name, action);
    return action;
}

void LumoMain::buildMenus()
{
    QMenu* file = addMenu(QStringLiteral("DoFile"), QStringLiteral("File"));
    addItem(file, QStringLiteral("GoNew"), QStringLiteral("New"));
    addItem(file, QStringLiteral("GoOpen"), QStringLiteral("Open"));
    addItem(file, QStringLiteral("GoSave"), QStringLiteral("Save"));
    addItem(file, QStringLiteral("GoSaveAs"), QStringLiteral("Save As"));
    addItem(file, QStringLiteral("GoReview"), QStringLiteral("Review EQ File"));
    addItem(file, QStringLiteral("GoMG24"), QStringLiteral("Locate MG24 Software"));
    addItem(file, QStringLiteral("GoExit"), QStringLiteral("Exit"));

    QMenu* documents = addMenu(QStringLiteral("DoDoc"), QStringLiteral("Documents"));
    addItem(documents, QStringLiteral("GoComm"), QStringLiteral("Comm Port"));
    addItem(documents, QStringLiteral("GoMaskSheet"), QStringLiteral("Open Word Data Sheet"));
    addItem(documents, QStringLiteral("GoExcelSheet"), QStringLiteral("Open Excel Data Sheet"));
    addItem(documents, QStringLiteral("GoHelp"), QStringLiteral("Tutorial"));
    addItem(documents, QStringLiteral("GoManual"), QStringLiteral("User Manual"));
    addItem(documents, QStringLiteral("GoMeter"), QStringLiteral("Meter Use"));
    addItem(documents, QStringLiteral("GoDA2500Use"), QStringLiteral("DA2500 Use"));
    addItem(documents, QStringLiteral("GoDU3001Use"), QStringLiteral("DU3001 Use"));
    addItem(documents, QStringLiteral("GoMG24Use"), QStringLiteral("ZUV-AR24 Use"));

    addItem(nullptr, QStringLiteral("GoRefSpec"), QStringLiteral("Spectrum Database"));
    addItem(nullptr, QStringLiteral("GoPrinter"), QStringLiteral("Printer Selection"));
    addItem(nullptr, QStringLiteral("GoProj"), QStringLiteral("Project ID"));

    QMenu* equalize = addMenu(QStringLiteral("DoMask"), QStringLiteral("Equalize System"));
    for (int n = 1; n <= 6; ++n)
        addItem(equalize, QStringLiteral("GoMask%1").arg(n), QStringLiteral("Channel %1 Mask").arg(n));
    for (int n = 1; n <= 2; ++n)
        addItem(equalize, QStringLiteral("GoPage%1").arg(n), QStringLiteral("Channel %1 Page").arg(n));
    addItem(equalize, QStringLiteral("GoReport"), QStringLiteral("Print Report"));
    // The same report on screen and as a PDF for the client, usable whenever it can be printed.
    addItem(equalize, QStringLiteral("GoReportPreview"), QStringLiteral("Print Preview"));
    addItem(equalize, QStringLiteral("GoReportPdf"), QStringLiteral("Export PDF"));
}

QAction* LumoMain::item(const QString& name) const
{
    return m_items.value(name, nullptr);
}

MenuState LumoMain::menuState() const
{
    MenuState s;
    s.saveEnabled = item(QStringLiteral("GoSave"))->isEnabled();
    s.saveAsEnabled = item(QStringLiteral("GoSaveAs"))->isEnabled();
    s.maskMenuEnabled = item(QStringLiteral("DoMask"))->isEnabled();
    s.reportEnabled = item(QStringLiteral("GoReport"))->isEnabled();
    for (int n = 1; n <= 6; ++n)
        s.maskVisible[static_cast<std::size_t>(n)] = item(QStringLiteral("GoMask%1").arg(n))->isVisible();
    for (int n = 1; n <= 2; ++n)
        s.pageVisible[static_cast<std::size_t>(n)] = item(QStringLiteral("GoPage%1").arg(n))->isVisible();
    return s;
}

void LumoMain::updateMainMenus()
{
    const MenuState s = kov::UpdateMainMenus(menuState(), m_data);
    item(QStringLiteral("GoSave"))->setEnabled(s.saveEnabled);
    item(QStringLiteral("GoSaveAs"))->setEnabled(s.saveAsEnabled);
    item(QStringLiteral("DoMask"))->setEnabled(s.maskMenuEnabled);
    item(QStringLiteral("GoReport"))->setEnabled(s.reportEnabled);
    item(QStringLiteral("GoReportPreview"))->setEnabled(s.reportEnabled);
    item(QStringLiteral("GoReportPdf"))->setEnabled(s.reportEnabled);
    for (int n = 1; n <= 6; ++n)
        item(QStringLiteral("GoMask%1").arg(n))->setVisible(s.maskVisible[static_cast<std::size_t>(n)]);
    for (int n = 1; n <= 2; ++n)
        item(QStringLiteral("GoPage%1").arg(n))->setVisible(s.pageVisible[static_cast<std::size_t>(n)]);
}

void LumoMain::runItem(const QString& name)
{
    // Nothing thrown below a menu command may take the program down with it.
    try {
        if (name == QLatin1String("GoNew")) {
            newProject();
            return;
        }
        if (name == QLatin1String("GoExit")) {
            exitProgram();
            return;
        }
        if (name == QLatin1String("GoSave")) {
            saveProject();
            return;
        }
        if (name == QLatin1String("GoSaveAs")) {
            saveProjectAs();
            return;
        }
        if (ProgramDocumentOf(name) != nullptr) {
            if (name == QLatin1String("GoManual"))
                OpenManual(m_data, m_prompter);
            else
                OpenProgramDocument(m_data, m_prompter, name);
            return;
        }
        if (const int channel = ChannelOf(name, QLatin1String("GoMask"), 6); channel != 0) {
            m_data.CurrentChannel = static_cast<i16>(channel);
        } else if (const int paging = ChannelOf(name, QLatin1String("GoPage"), 2); paging != 0) {
            m_data.CurrentChannel = static_cast<i16>(paging);
            m_data.PageChannelOpen(paging) = static_cast<i16>(paging);
        } else if (name == QLatin1String("GoMG24")) {
            m_data.FindTarget = 1;
        } else if (name == QLatin1String("GoOpen")) {
            m_data.GetFileMode = 1;
        }
        runOpener(name);
    } catch (const std::exception& e) {
        const QAction* source = item(name);
        m_prompter.message(QString::fromLocal8Bit(e.what()) + QStringLiteral(" occurred in ") +
                               (source != nullptr ? source->text() : name) + QLatin1Char('.'),
                           QString(), MsgIcon::Critical, MsgButtons::Ok);
    }
}

void LumoMain::runOpener(const QString& name)
{
    const auto it = m_openers.constFind(name);
    if (it != m_openers.constEnd() && *it)
        (*it)();
}

void LumoMain::newProject()
{
    if (!SettleUnsavedChanges(m_data, m_prompter)) {
        setWindowTitle(MainCaption(m_data.ProjectFileName));
        updateMainMenus();
        return;
    }
    if (!NewProject(m_data, m_prompter)) {
        // The program cannot go on without its files; what it was asked about is settled already.
        const QScopedValueRollback ending(m_ending, true);
        EndProgram();
        return;
    }
    setWindowTitle(MainCaption(m_data.ProjectFileName));
    updateMainMenus();
}

void LumoMain::saveProject()
{
    SaveProject(m_data, m_prompter);
    updateMainMenus();
}

void LumoMain::saveProjectAs()
{
    if (SaveProjectAs(m_data, m_prompter))
        setWindowTitle(SavedAsCaption(m_data.ProjectFileName));
    updateMainMenus();
}

void LumoMain::activate()
{
    loadLogo(m_image1, QString::fromLatin1(PellarLogo.fileName));
    loadLogo(m_image2, QString::fromLatin1(CorvexLogo.fileName));
    placeLogos();
    setWindowTitle(MainCaption(m_data.ProjectFileName));
    updateMainMenus();
}

void LumoMain::loadLogo(QLabel* label, const QString& fileName)
{
    // The logos are decoration: one that is missing or unreadable leaves its place empty, without a message.
    const QPixmap picture(QDir(m_data.AppPath).filePath(fileName));
    label->setPixmap(picture);
    label->setVisible(!picture.isNull());
}

void LumoMain::placeLogos()
{
    m_image1->setGeometry(LogoGeometry(width(), PellarLogo.widthTwips, PellarLogo.heightTwips, PellarLogo.topTwips));
    m_image2->setGeometry(LogoGeometry(width(), CorvexLogo.widthTwips, CorvexLogo.heightTwips, CorvexLogo.topTwips));
}

void LumoMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void LumoMain::activated(bool returned)
{
    if (returned)
        activate();
    else
        updateMainMenus();
    // A click on the main window while a window holds it disabled means that window.
    if (!isEnabled())
        QMetaObject::invokeMethod(this, &LumoMain::bringHolderForward, Qt::QueuedConnection);
}

void LumoMain::bringHolderForward()
{
    if (isEnabled() || QApplication::activeModalWidget() != nullptr || !isActiveWindow())
        return;
    for (auto it = m_holders.crbegin(); it != m_holders.crend(); ++it) {
        if (!it->isNull() && (*it)->isVisible()) {
            (*it)->raise();
            (*it)->activateWindow();
            return;
        }
    }
}

void LumoMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    placeLogos();
}

bool LumoMain::exitProgram()
{
    if (m_ending)
        return true;
    // The windows first: what they hold reaches the project set only through their own Done.
    const QList<LumoWindow*> open = LumoWindow::openWindows();
    for (auto it = open.crbegin(); it != open.crend(); ++it) {
        if ((*it)->isVisible() && !(*it)->close())
            return false;
    }
    const bool settled = SettleUnsavedChanges(m_data, m_prompter);
    setWindowTitle(MainCaption(m_data.ProjectFileName));
    updateMainMenus();
    if (!settled)
        return false;
    const QScopedValueRollback ending(m_ending, true);
    return EndProgram();
}

void LumoMain::closeEvent(QCloseEvent* event)
{
    // The close box ends the program as File, Exit does; while ending, this is the last window going.
    if (m_ending || exitProgram())
        event->accept();
    else
        event->ignore();
}

bool Main(LumoData& d, Prompter& prompter, LumoMain& window)
{
    if (!StartProgramData(d, prompter)) {
        EndProgram();
        return false;
    }
    window.updateMainMenus();
    window.showMaximized();
    return true;
}

void OpenProjectNamedAtStart(LumoData& d, Prompter& prompter, LumoMain& window, const QString& path)
{
    const QFileInfo file(path);
    if (OpenProject(d, prompter, file.absolutePath(), file.fileName()) != OpenResult::Opened)
        return;
    window.updateMainMenus();
    window.setWindowTitle(MainCaption(d.ProjectFileName));
}

}  // namespace kov

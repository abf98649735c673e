#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/LumoData.h"
#include "core/MainMenus.h"
#include "core/Prompter.h"

class QLabel;
class QMenu;

namespace kov {

class ActivationWatch;

// What a menu item opens, by the item's control name ("GoOpen", "GoMask3", "GoRefSpec" ...). The main window
// does an item's own bookkeeping (channel number, search target) first, then calls its opener; an item without
// one does nothing more. New, Save, Save As, Exit and the Documents items that open a file are the main window's
// own and take no opener.
using Opener = std::function<void()>;
using Openers = QHash<QString, Opener>;

QString MainCaption(const QString& projectFileName);

// Place of a logo in the main window's client area: top and size as given, centred on the window and then
// moved 800 twips to the right.
QRect LogoGeometry(int windowWidthPixels, int widthTwips, int heightTwips, int topTwips);

class LumoMain : public QMainWindow {
    Q_OBJECT

public:
    LumoMain(LumoData& d, Prompter& prompter, Openers openers = {}, QWidget* parent = nullptr);
    ~LumoMain() override;

    // Windows that need the main window (to disable it, or as a parent) are built after it.
    void setOpener(const QString& item, Opener opener);

    // Applies the menu rules of the project's stage and generator to the actions.
    void updateMainMenus();

    // A window that keeps the main window disabled while it is open; the main window is enabled again when the
    // last of them lets go (or is destroyed).
    void holdDisabled(QWidget* window, bool hold);

    // File, Exit and the close box: the open windows are asked to close, then the project's unsaved changes are
    // settled; either refused keeps the program running. True when the program ends.
    bool exitProgram();

    // Every menu item and top-level menu, by control name.
    static QStringList itemNames();
    QAction* item(const QString& name) const;
    MenuState menuState() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    QMenu* addMenu(const QString& name, const QString& caption);
    void runItem(const QString& name);
    void runOpener(const QString& name);
    void newProject();
    void saveProject();
    void saveProjectAs();
    void activate();
    void activated(bool returned);
    void bringHolderForward();
    void loadLogo(QLabel* label, const QString& fileName);
    void placeLogos();

    LumoData& m_data;
    Prompter& m_prompter;
    Openers m_openers;
    QHash<QString, QAction*> m_items;
    QLabel* m_image1 = nullptr;
    QLabel* m_image2 = nullptr;
    QList<QPointer<QWidget>> m_holders;
    ActivationWatch* m_watch = nullptr;
    bool m_ending = false;
};

// Program start: the shared data, then the main window maximised. On a failure (already reported) the program
// ends, the window is never shown and the result is false.
bool Main(LumoData& d, Prompter& prompter, LumoMain& window);

// A project named when the program is started (`kov JOB.MSK`, a double click on a project file): opened once the
// main window shows, as File, Open opens it, with the same checks and messages. A file that does not open leaves
// the program started with no project.
void OpenProjectNamedAtStart(LumoData& d, Prompter& prompter, LumoMain& window, const QString& path);

}  // namespace kov

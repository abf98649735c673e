#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/LumoMainWindow.h"
#include "core/Prompter.h"

class QWindow;

namespace kov {

class LumoMain;

// Tells a window when it becomes active again, and whether another window of the program that could have
// changed the shared data was active in between. Message boxes and file dialogs (every QDialog), windows of
// other programs and a disabled window (the main window while a window holds it) change nothing, so coming back
// from them is no return.
class ActivationWatch : public QObject {
    Q_OBJECT

public:
    explicit ActivationWatch(QWidget* window);

    // Forgets any window seen in between: the watched window was just shown and is up to date.
    void reset() { m_away = false; }

signals:
    void activated(bool returned);

private:
    void focusWindowChanged(QWindow* focus);

    QWidget* m_window;
    bool m_away = false;
};

// The one lifecycle of every window a menu item opens:
//  - shown: it holds the main window disabled (when it says so) and runs activate();
//  - activate() runs again only when the window comes back from another window of the program that may have
//    changed the shared data: never from its own message boxes, never from the disabled main window;
//  - Done (requestDone) closes it through apply(); Cancel (requestCancel) and the close box ask the exit question
//    first, and "Cancel" to it keeps the window open with everything in it;
//  - it stays above the main window, and a click on the disabled main window brings it back to the front;
//  - ending the program asks it to close like the close box does, and its refusal keeps the program running.
class LumoWindow : public QWidget {
    Q_OBJECT

public:
    // `main` may be null where there is no main window (some tests).
    LumoWindow(Prompter& prompter, LumoMain* main, QWidget* parent = nullptr);
    ~LumoWindow() override;

    void requestDone();
    void requestCancel();
    // The main window is going away first: nothing is to be held or released on it any more.
    void detachMain();

    // The program's windows that are open, in the order they were opened.
    static QList<LumoWindow*> openWindows();

    void setVisible(bool visible) override;

protected:
    // Shown, or back from another window of the program.
    virtual void activate() = 0;
    // Asked on every showing: whether the main window is held disabled while this window is open.
    virtual bool disablesMain() const { return true; }
    // Closing with Done, before apply(): the window's own checks and writing. False keeps the window open with
    // everything in it (the window has said why).
    virtual bool acceptDone() { return true; }
    // Closing with Done: store what the window edited. The window closes after it.
    virtual void apply() {}
    // The close box (and ending the program) closes as Done does instead of asking the exit question.
    virtual bool closeBoxIsDone() const { return false; }
    // Closing any other way: true lets the window go. The default asks "Ok to exit without saving changes?"
    // under exitTitle() (the program's title when empty).
    virtual bool confirmDiscard();
    virtual QString exitTitle() const { return {}; }
    // Work under way inside one of the window's own handlers (the fit animation): the window cannot close and
    // does not reload under it.
    virtual bool busy() const { return false; }
    // After the window closed, Done or not.
    virtual void closed() {}

    // The window cannot work (what it needs could not be loaded, the reason was shown): it closes at once,
    // without a question and without storing anything.
    void abandon();

    Prompter& prompter() { return m_prompter; }
    LumoMain* mainWindow() const { return m_main; }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void returned(bool fromAnotherWindow);
    void holdMain(bool hold);

    Prompter& m_prompter;
    QPointer<LumoMain> m_main;
    ActivationWatch* m_watch;
    bool m_holding = false;
    bool m_doneRequested = false;
    bool m_cancelRequested = false;
    bool m_abandoned = false;
    bool m_closing = false;
    bool m_activating = false;
};

}  // namespace kov

#include "core/LumoWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QPushButton>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>
#include <utility>

#include "core/LumoMainWindow.h"
#include "core/WindowPlacement.h"

namespace kov {

namespace {

QList<QPointer<LumoWindow>>& Registry()
{
    static QList<QPointer<LumoWindow>> windows;
    return windows;
}

void Unregister(LumoWindow* w)
{
    Registry().removeIf([w](const QPointer<LumoWindow>& p) { return p.isNull() || p == w; });
}

QWidget* WidgetOf(const QWindow* window)
{
    if (window == nullptr)
        return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowHandle() == window)
            return w;
    }
    return nullptr;
}

// Only a window the person could work in may have changed what a returning window shows: not a message box or
// file dialog (every QDialog), not a popup, not a disabled window.
bool CanChangeSharedData(const QWidget* w)
{
    const Qt::WindowType type = w->windowType();
    return (type == Qt::Window || type == Qt::Dialog) && qobject_cast<const QDialog*>(w) == nullptr && w->isEnabled();
}

}  // namespace

ActivationWatch::ActivationWatch(QWidget* window) : QObject(window), m_window(window)
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &ActivationWatch::focusWindowChanged);
}

void ActivationWatch::focusWindowChanged(QWindow* focus)
{
    QWidget* now = WidgetOf(focus);
    if (now == nullptr)
        return;
    if (now == m_window) {
        emit activated(std::exchange(m_away, false));
        return;
    }
    if (CanChangeSharedData(now))
        m_away = true;
}

LumoWindow::LumoWindow(Prompter& prompter, LumoMain* main, QWidget* parent)
    // A dialog-type window is what window managers keep above the window it belongs to.
    : QWidget(parent, Qt::Dialog), m_prompter(prompter), m_main(main), m_watch(new ActivationWatch(this))
{
    connect(m_watch, &ActivationWatch::activated, this, &LumoWindow::returned);
}

LumoWindow::~LumoWindow()
{
    // Focus moves while a window is taken down; what is left of this one must not hear of it.
    delete m_watch;
    Unregister(this);
    holdMain(false);
}

void LumoWindow::detachMain()
{
    m_main = nullptr;
    m_holding = false;
}

QList<LumoWindow*> LumoWindow::openWindows()
{
    QList<LumoWindow*> open;
    for (const QPointer<LumoWindow>& w : std::as_const(Registry())) {
        if (!w.isNull())
            open.append(w.data());
    }
    return open;
}

void LumoWindow::setVisible(bool visible)
{
    if (visible && !isVisible() && m_main != nullptr) {
        // A transient of the main window: window managers keep it above, so a click on the main window cannot
        // bury it.
        create();
        if (windowHandle() != nullptr && m_main->windowHandle() != nullptr)
            windowHandle()->setTransientParent(m_main->windowHandle());
    }
    QWidget::setVisible(visible);
}

void LumoWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A window centred at the size it was opened with grows with what it comes to show (a file's texts, a frame
    // that opens); it moves back rather than leave controls beyond the edge of the screen.
    const bool grew =
        event->size().width() > event->oldSize().width() || event->size().height() > event->oldSize().height();
    if (!grew || !isVisible() || screen() == nullptr)
        return;
    const QRect frame = frameGeometry();
    const QPoint kept = KeptOnScreen(screen()->availableGeometry(), frame);
    if (kept != frame.topLeft())
        move(kept);
}

void LumoWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    Unregister(this);
    Registry().append(this);
    m_watch->reset();
    m_doneRequested = false;
    m_abandoned = false;
    // Installers press Enter on the button they moved to; outside a dialog only the focused button takes it.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(true);
    holdMain(disablesMain());
    const QScopedValueRollback activating(m_activating, true);
    activate();
}

void LumoWindow::returned(bool fromAnotherWindow)
{
    if (!fromAnotherWindow || m_closing || m_activating || m_abandoned || busy() || !isVisible())
        return;
    holdMain(disablesMain());
    const QScopedValueRollback activating(m_activating, true);
    activate();
}

void LumoWindow::holdMain(bool hold)
{
    if (m_main == nullptr || (!hold && !m_holding))
        return;
    m_holding = hold;
    m_main->holdDisabled(this, hold);
}

void LumoWindow::requestDone()
{
    m_doneRequested = true;
    if (!close())
        m_doneRequested = false;
}

void LumoWindow::requestCancel()
{
    m_doneRequested = false;
    const QScopedValueRollback cancelling(m_cancelRequested, true);
    close();
}

void LumoWindow::abandon()
{
    m_abandoned = true;
    // The window may be in the middle of being shown; it goes once that is over.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool LumoWindow::confirmDiscard()
{
    return m_prompter.message(QStringLiteral("Ok to exit without saving changes?"), exitTitle(), MsgIcon::None,
                              MsgButtons::OkCancel) == MsgAnswer::Ok;
}

void LumoWindow::closeEvent(QCloseEvent* event)
{
    if (m_closing || busy()) {
        event->ignore();
        return;
    }
    const QScopedValueRollback closing(m_closing, true);
    const bool withDone = std::exchange(m_doneRequested, false) || (closeBoxIsDone() && !m_cancelRequested);
    if (!m_abandoned) {
        if (withDone) {
            if (!acceptDone()) {
                event->ignore();
                return;
            }
            apply();
        } else if (!confirmDiscard()) {
            event->ignore();
            return;
        }
    }
    Unregister(this);
    holdMain(false);
    event->accept();
    closed();
}

}  // namespace kov

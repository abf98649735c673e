#include "core/LongWork.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>

namespace kov {

namespace {

bool IsInput(QEvent::Type type)
{
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

bool Within(const QWidget* w, const QList<QWidget*>& widgets)
{
    for (const QWidget* u : widgets) {
        if (u != nullptr && (u == w || u->isAncestorOf(w)))
            return true;
    }
    return false;
}

}  // namespace

class LongWork::InputGate : public QObject {
public:
    explicit InputGate(const QList<QWidget*>& usable) : m_usable(usable.begin(), usable.end())
    {
        qApp->installEventFilter(this);
    }
    ~InputGate() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (!IsInput(event->type()))
            return false;
        if (!receiver->isWidgetType()) {
            // A window hands its input on to the widget under it, where the gate looks; a shortcut goes to an
            // action, which nothing of the work needs.
            return event->type() == QEvent::Shortcut;
        }
        const auto* w = static_cast<const QWidget*>(receiver);
        if (qobject_cast<const QDialog*>(w->window()) != nullptr)
            return false;
        QList<QWidget*> usable;
        for (const QPointer<QWidget>& u : m_usable) {
            if (!u.isNull())
                usable.append(u.data());
        }
        return !Within(w, usable);
    }

private:
    QList<QPointer<QWidget>> m_usable;
};

LongWork::LongWork(QWidget* window, const QList<QWidget*>& usable) : m_gate(std::make_unique<InputGate>(usable))
{
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // Only the controls' own switches: one inside a disabled frame stays as it is, and comes back as it was.
        if (w->window() != window || w->focusPolicy() == Qt::NoFocus || w->testAttribute(Qt::WA_ForceDisabled) ||
            Within(w, usable))
            continue;
        m_disabled.append(w);
    }
    for (QWidget* u : usable) {
        if (u != nullptr && u->testAttribute(Qt::WA_ForceDisabled)) {
            m_enabled.append(u);
            u->setEnabled(true);
        }
    }
    // The focus moves first, so that it does not wander from control to control as they go off: to the work's
    // Cancel, where the keyboard can reach it.
    if (focus != nullptr && m_disabled.contains(focus)) {
        m_focus = focus;
        QWidget* cancel = usable.isEmpty() ? nullptr : usable.front();
        if (cancel != nullptr && cancel->isVisible())
            cancel->setFocus(Qt::OtherFocusReason);
        else
            focus->clearFocus();
    }
    for (const QPointer<QWidget>& w : std::as_const(m_disabled))
        w->setEnabled(false);
}

LongWork::~LongWork()
{
    // Whatever the person aimed at the window in the last moments is dropped here too, not left to act on what the
    // work has just changed.
    QCoreApplication::processEvents();
    m_gate.reset();
    for (const QPointer<QWidget>& w : std::as_const(m_disabled)) {
        if (!w.isNull())
            w->setEnabled(true);
    }
    QWidget* focus = QApplication::focusWidget();
    for (const QPointer<QWidget>& u : std::as_const(m_enabled)) {
        if (u.isNull())
            continue;
        if (focus != nullptr && (u == focus || u->isAncestorOf(focus))) {
            if (m_focus != nullptr && m_focus->isEnabled() && m_focus->isVisible())
                m_focus->setFocus(Qt::OtherFocusReason);
            else
                focus->clearFocus();
        }
        u->setEnabled(false);
    }
}

}  // namespace kov

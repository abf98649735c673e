#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace kov {

// Long work inside one of a window's handlers (a download, the fit, the paging calculation, a folder search).
// While it lives:
//  - every control of `window` that takes input is disabled, each put back to its own state afterwards, and the
//    controls in `usable` (the work's own Cancel) are enabled, and disabled again afterwards when they were;
//  - every click, key and wheel aimed at the program's windows is dropped, except at `usable` and in the message
//    boxes and file dialogs the work itself raises. Labels that act on a click through an event filter are
//    caught too, which disabling alone would not do.
// The clock lets the person's input run at every wait, so it is dropped there; what is still queued when the work
// ends is drained while the gate holds. A click made during the work never acts after it.
class LongWork {
public:
    explicit LongWork(QWidget* window, const QList<QWidget*>& usable = {});
    ~LongWork();
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

private:
    class InputGate;
    std::unique_ptr<InputGate> m_gate;
    QList<QPointer<QWidget>> m_disabled;
    QList<QPointer<QWidget>> m_enabled;
    QPointer<QWidget> m_focus;
};

}  // namespace kov

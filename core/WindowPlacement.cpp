#include "core/WindowPlacement.h"

#include "core/LumoWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <algorithm>

namespace kov {

int TwipsToPixels(int twips)
{
    return qRound(static_cast<double>(twips) / TwipsPerPixel);
}

QPoint CenteredPosition(const QRect& available, const QSize& size)
{
    // C++ division truncates toward zero, as the halves of the free space are meant to.
    const int left = std::max(0, (available.width() - size.width()) / 2);
    const int top = std::max(0, (available.height() - size.height()) / 2);
    return available.topLeft() + QPoint(left, top);
}

QPoint KeptOnScreen(const QRect& available, const QRect& frame)
{
    const int left = std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
    const int top = std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
    return {left, top};
}

QRect CenteredGeometry(const QRect& available, int widthTwips, int heightTwips)
{
    const QSize size(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
    return {CenteredPosition(available, size), size};
}

void CenterAndShowForm(QWidget* form, int widthTwips, int heightTwips)
{
    if (form == nullptr)
        return;
    QScreen* screen = form->screen() != nullptr ? form->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect place = CenteredGeometry(available, widthTwips, heightTwips);
    form->resize(place.size());
    form->move(place.topLeft());
    form->show();
    // Once shown the window may have a frame around the given size; centre the whole of it.
    const QSize framed = form->frameGeometry().size();
    if (framed != place.size())
        form->move(CenteredPosition(available, framed));
    form->raise();
    form->activateWindow();
}

namespace {

bool IsProgramWindow(const QWidget* w)
{
    const Qt::WindowType type = w->windowType();
    return w->isWindow() && (type == Qt::Window || type == Qt::Dialog);
}

}  // namespace

bool EndProgram()
{
    // A window closed below may well answer by calling EndProgram itself (the main window's close box does).
    static bool ending = false;
    if (ending)
        return true;
    const QScopedValueRollback guard(ending, true);

    // The windows a person works in go first, the last opened first, each with its own question; the first that
    // is refused keeps the program running with everything in it.
    QList<QPointer<QWidget>> windows;
    const QList<LumoWindow*> open = LumoWindow::openWindows();
    for (auto it = open.crbegin(); it != open.crend(); ++it)
        windows.append(*it);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (IsProgramWindow(w) && !windows.contains(w))
            windows.append(w);
    }
    for (const QPointer<QWidget>& w : std::as_const(windows)) {
        if (!w.isNull() && w->isVisible() && !w->close())
            return false;
    }

    // Before the event loop runs there is nothing to end; the start-up reports the failure to main instead.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
    return true;
}

}  // namespace kov

#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QThread>
#include <QWidget>

// Small helpers every window suite needs.
namespace kov::test {

inline void LetEventsRun()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Window activation is asynchronous even offscreen; waits for it rather than assuming it.
inline bool WaitUntilActive(QWidget* w)
{
    QDeadlineTimer deadline(3000);
    while (!deadline.hasExpired()) {
        QApplication::processEvents();
        if (QApplication::activeWindow() == w)
            return true;
        QThread::msleep(5);
    }
    return false;
}

// A click on the middle of `w` the way the window system hands one over: queued, to act when events next run.
inline void QueueClick(QWidget* w)
{
    const QPointF at = QRectF(w->rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QApplication::postEvent(w, new QMouseEvent(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier));
    }
}

// A control of `window` by its control name; a missing one fails the test.
template <typename T>
T* Control(const QWidget& window, const char* name)
{
    auto* c = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// The channel items of the Equalize System menu that the main window shows, in menu order.
inline QStringList ShownChannelItems(const QWidget& main)
{
    QStringList shown;
    for (const char* name : {"GoMask1", "GoMask2", "GoMask3", "GoMask4", "GoMask5", "GoMask6", "GoPage1", "GoPage2"}) {
        if (auto* item = Control<QAction>(main, name); item != nullptr && item->isVisible())
            shown << QLatin1String(name);
    }
    return shown;
}

}  // namespace kov::test

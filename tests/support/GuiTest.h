#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
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

// A control of `window` by its control name; a missing one fails the test.
template <typename T>
T* Control(const QWidget& window, const char* name)
{
    auto* c = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

}  // namespace kov::test

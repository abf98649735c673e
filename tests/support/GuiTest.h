#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QThread>
#include <QWidget>
#include <string>

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

// The screen every window has to fit on whole.
inline constexpr QSize SmallestScreen{1024, 768};

// What a person could not read or reach in `window`: every shown label, button, text box and frame that is
// smaller than its size hint (a wrapped label: lower than its text needs at its width; a text box: narrower than
// its text; a scaled picture fits any place) or that reaches beyond a widget it sits in; and the window itself when
// it is larger than the smallest screen (a maximised one takes the screen it is on). One line for each, naming the
// control and saying how; empty when all is well.
inline std::string ControlsNotWhole(const QWidget& window)
{
    QStringList out;
    const auto describe = [](const QWidget* w, const QString& how) {
        return (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName()) +
               QLatin1Char(' ') + how;
    };
    // A maximised window takes whatever screen it is on.
    if (!window.isMaximized() && (window.width() > SmallestScreen.width() || window.height() > SmallestScreen.height()))
        out << describe(&window, QStringLiteral("is %1x%2").arg(window.width()).arg(window.height()));
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->isWindow())
            continue;
        const auto* label = qobject_cast<const QLabel*>(w);
        const auto* edit = qobject_cast<const QLineEdit*>(w);
        const bool control = label != nullptr || edit != nullptr ||
                             qobject_cast<const QAbstractButton*>(w) != nullptr ||
                             qobject_cast<const QGroupBox*>(w) != nullptr;
        if (!control)
            continue;
        QSize needed = w->sizeHint();
        if (label != nullptr && label->hasScaledContents())
            needed = QSize(0, 0);  // a picture drawn to the size of its place
        else if (label != nullptr && label->wordWrap())
            needed = QSize(0, label->heightForWidth(w->width()));
        else if (edit != nullptr) {
            // The frame's share only where there is one: a spin box draws its own around the text box in it.
            const int frame = edit->hasFrame() ? 4 : 0;
            needed = QSize(edit->fontMetrics().horizontalAdvance(edit->text()) + frame,
                           edit->fontMetrics().height() + frame);
        } else if (qobject_cast<const QGroupBox*>(w) != nullptr)
            needed = w->minimumSizeHint();
        if (needed.width() > w->width() || needed.height() > w->height())
            out << describe(w, QStringLiteral("is %1x%2 for %3x%4")
                                   .arg(w->width())
                                   .arg(w->height())
                                   .arg(needed.width())
                                   .arg(needed.height()));
        for (const QWidget* outer = w->parentWidget(); outer != nullptr; outer = outer->parentWidget()) {
            const QRect inOuter(w->mapTo(outer, QPoint(0, 0)), w->size());
            if (!outer->rect().contains(inOuter)) {
                out << describe(w, QStringLiteral("reaches beyond ") + describe(outer, QString()).trimmed());
                break;
            }
            if (outer == &window)
                break;
        }
    }
    return out.join(u'\n').toStdString();
}

}  // namespace kov::test

#include "core/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTime>

namespace kov {

double SystemClock::secondsSinceMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void SystemClock::letEventsRun()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // The waits are a few tenths of a second; a millisecond's sleep keeps the core free without making them late.
    QThread::msleep(1);
}

void WaitSeconds(Clock& clock, f32 seconds)
{
    // Add up the steps between readings rather than comparing with the start, so that the clock starting again
    // from 0 at midnight costs nothing, however long the wait.
    double last = clock.secondsSinceMidnight();
    double elapsed = 0;
    while (elapsed < seconds) {
        clock.letEventsRun();
        const double now = clock.secondsSinceMidnight();
        double step = now - last;
        if (step < 0)
            step += SecondsPerDay;
        elapsed += step;
        last = now;
    }
}

}  // namespace kov

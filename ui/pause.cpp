#include "ui/pause.h"

#include <QEventLoop>
#include <QTimer>

namespace ondelog {

namespace {
int g_msPerSecond = 1000;
}

void setPauseMilliseconds(int msPerSecond)
{
    g_msPerSecond = msPerSecond < 0 ? 0 : msPerSecond;
}

int pauseMilliseconds()
{
    return g_msPerSecond;
}

void pauseSeconds(int seconds)
{
    if (seconds <= 0)
        return;
    // A timer measures the length itself, so a pause that spans midnight (or a
    // change of the system clock) still lasts what it was asked to.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(seconds * g_msPerSecond);
    loop.exec();
}

} // namespace ondelog

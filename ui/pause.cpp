// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pause.h"

#include "logbook/entryfields.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace ondelog {

namespace {
int g_msPerSecond = 1000;
}

void setPauseMilliseconds(int msPerSecond)
{
    g_msPerSecond = msPerSecond < 0 ? 0 : msPerSecond;
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

bool showErrorForOneSecond(QLineEdit *edit, bool &showingError)
{
    QPointer<QLineEdit> field(edit);
    showingError = true;
    edit->setText(QString::fromLatin1(kErrorText));
    pauseSeconds(1);
    if (!field)
        return false;
    showingError = false;
    field->clear();
    field->setFocus(Qt::OtherFocusReason);
    return true;
}

} // namespace ondelog

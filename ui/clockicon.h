// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clock drawn on the button that starts Horalink: a face with its hours
// and hands, in the colours of the window it sits in.

#include <QString>

class QToolButton;
class QWidget;

namespace ondelog {

/** A flat tool button named `name` showing the clock, its tip "Mise à l'heure". */
QToolButton *makeClockButton(const QString &name, QWidget *parent);

} // namespace ondelog

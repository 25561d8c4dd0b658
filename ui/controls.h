// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small pieces every window of the suite builds the same way: a named button
// that Enter in a field never presses, a named panel, and the French message
// boxes that tell the operator what happened.

class QFrame;
class QPushButton;
class QString;
class QWidget;

namespace ondelog {

/** A button with its caption and objectName. Not a default button: Enter
 *  belongs to the fields and presses a button only when it has the focus. */
QPushButton *makeButton(const QString &text, const QString &name, QWidget *parent);

/** A framed panel with its objectName. */
QFrame *makePanel(const QString &name, QWidget *parent);

/** A warning over `parent` (objectName "OndelogAlerte"), with the normal
 *  pointer whatever is running; returns once the operator has read it. */
void warningBox(QWidget *parent, const QString &text);
/** The same for a piece of news ("OndelogInfo"). */
void informationBox(QWidget *parent, const QString &text);

} // namespace ondelog

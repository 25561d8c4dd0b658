// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pieces the settings dialogs share: their French OK and Cancel buttons, and
// the red line that says why a choice cannot be kept.

class QDialog;
class QDialogButtonBox;
class QLabel;
class QString;
class QWidget;

namespace ondelog {

/** "&OK" (BtOK) and "&Annuler" (BtAnnuler), French whatever Qt's language,
 *  wired to the dialog's accept() and reject(). */
QDialogButtonBox *okCancelButtons(QDialog *dialog);

/** The line (LabErreur) that says why the dialog cannot close; hidden. */
QLabel *errorLine(QWidget *parent);
/** Shows `text` on that line, or hides it when `text` is empty. */
void showError(QLabel *line, const QString &text);

} // namespace ondelog

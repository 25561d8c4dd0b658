// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fields whose every typed key is turned into upper case.

class QLineEdit;

namespace ondelog {

/** Upper-cases whatever is typed or pasted into `edit` (the caret stays put). */
void makeUpperCase(QLineEdit *edit);

} // namespace ondelog

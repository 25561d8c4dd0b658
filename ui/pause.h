// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Waits that keep the windows alive: the message "ERREUR" shown for a second,
// the greeting before closing. The event loop runs during the wait, so the
// window paints and the clock ticks; nothing spins the processor.

class QLineEdit;

namespace ondelog {

/** Waits n seconds while window events run, then returns. */
void pauseSeconds(int seconds);

/** How long one second of pauseSeconds() lasts, in milliseconds (1000 unless
 *  told otherwise). Tests shorten it; 0 makes each pause a single pass of the
 *  event loop. Process-wide. */
void setPauseMilliseconds(int msPerSecond);

/** Shows "ERREUR" in `edit` for one second (pauseSeconds), then empties it and
 *  gives it the focus back. `showingError` is true during that second, so the
 *  owner's key handling can ignore the field meanwhile. False when the field
 *  was destroyed during the second (its window closed): the owner went with it,
 *  so neither the flag nor the field is touched. */
bool showErrorForOneSecond(QLineEdit *edit, bool &showingError);

} // namespace ondelog

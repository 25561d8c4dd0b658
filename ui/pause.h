#pragma once
// Waits that keep the windows alive: the message "ERREUR" shown for a second,
// the greeting before closing. The event loop runs during the wait, so the
// window paints and the clock ticks; nothing spins the processor.

namespace ondelog {

/** Waits n seconds while window events run, then returns. */
void pauseSeconds(int seconds);

/** How long one second of pauseSeconds() lasts, in milliseconds (1000 unless
 *  told otherwise). Tests shorten it; 0 makes each pause a single pass of the
 *  event loop. Process-wide. */
void setPauseMilliseconds(int msPerSecond);
int pauseMilliseconds();

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two keyboard habits every window of the program keeps, which Qt leaves to
// each platform:
// - Enter presses the focused button. Qt lets a button take Enter only in
//   dialogs, and only as their default button; our windows move the focus to
//   "Valider" precisely so that the next Enter confirms.
// - When a modal dialog closes, its window gets the keyboard back, on the
//   field or list it had. Without a window manager to reactivate it (and
//   with some that do not), the keys typed next would go nowhere.

namespace ondelog {

/** Installs, once per application, the filter that keeps both habits. Every
 *  window calls it. */
void enableKeyboardConventions();

} // namespace ondelog

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What each program of the suite does before its first window. The suite is
// French whatever the system's language, so Qt's own dialogs (file dialog,
// message box buttons, print dialog) must read in French too; and the desktop
// shows each program under its own name and icon.

#include "setup/commandline.h"

#include <QString>

#include <optional>

class QApplication;

namespace ondelog {

/** Answers "--help", "--version" and mistakes on the terminal, before any
 *  display is needed. The exit status when the program must stop there. */
std::optional<int> answerCommandLine(const ProgramDescription &program, int argc,
                                     const char *const *argv);

/** Loads Qt's French translation from the folder Qt reports; false (and a
 *  warning on the terminal) when it is not installed: dialogs then stay English. */
bool loadFrenchTranslation(QApplication &app);

/** French translation, French locale, application name and version, the icon
 *  `iconName` (from the icon theme, else the one built in) and the desktop
 *  entry `desktopId` ("org.ondelog.Ondelog"). */
void setUpSuiteApplication(QApplication &app, const QString &title, const QString &iconName,
                           const QString &desktopId);

} // namespace ondelog

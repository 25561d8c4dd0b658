// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Starting one program of the suite from another (Ondelog starts Versabase,
// Versabase starts Fabribase): looked up beside the running program, where the
// build and the installation put all four, then in the program folder. The
// started program is given the same data root, so that it works on the same
// "Ondelog" folder; nothing else goes on its command line and nobody waits for it.

#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>

class QWidget;

namespace ondelog {

/** Full path of the program `name` ("versabase"), or empty when neither folder
 *  holds it. */
QString companionPath(const QString &name, const std::filesystem::path &programFolder);

/** Starts `name` with "--root" and the data root. On failure a message box says
 *  why (on `parent`) and the answer is false. */
bool startCompanion(QWidget *parent, const QString &name, const std::filesystem::path &dataRoot);

/** Starts `name`, found beside the running program or in `programFolder`, with
 *  exactly `arguments` (Horalink takes none: it keeps no files). Failures as above. */
bool startProgram(QWidget *parent, const QString &name, const std::filesystem::path &programFolder,
                  const QStringList &arguments);

/** Replaces the starting of processes (tests): given the path and the arguments,
 *  answers whether the program started. An empty function restores the real one. */
using CompanionStarter = std::function<bool(const QString &program, const QStringList &arguments)>;
void setCompanionStarter(CompanionStarter starter);

} // namespace ondelog

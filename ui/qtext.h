// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one place where the core's bytes meet Qt's Unicode: Windows-1252 texts
// of the log, and paths, whose bytes are the file system's own.

#include <QString>

#include <cstdint>
#include <filesystem>
#include <string>

namespace ondelog {

/** Windows-1252 bytes to a QString. */
QString toQString(const std::string &cp1252);
/** QString to Windows-1252 bytes ('?' for what the code page cannot hold). */
std::string toCp1252(const QString &text);

/** A number of contacts as the statistics show it, digits grouped: "1 contact",
 *  "2 400 contacts". */
QString contactsCount(std::int64_t count);

/** A path as the operator reads it: decoded as the file system names it (not
 *  as UTF-8, which a name in another encoding would turn into garbage), with
 *  the system's separators. */
QString nativePath(const std::filesystem::path &path);
/** A path typed or chosen on screen, in the file system's own bytes. */
std::filesystem::path toPath(const QString &path);

} // namespace ondelog

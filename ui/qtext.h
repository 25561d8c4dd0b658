#pragma once
// The one place where the core's Windows-1252 bytes meet Qt's Unicode.

#include <QString>
#include <string>

namespace ondelog {

/** Windows-1252 bytes to a QString. */
QString toQString(const std::string &cp1252);
/** QString to Windows-1252 bytes ('?' for what the code page cannot hold). */
std::string toCp1252(const QString &text);

} // namespace ondelog

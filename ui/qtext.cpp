// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qtext.h"

#include "text/text.h"

#include <QDir>
#include <QFile>

namespace ondelog {

QString toQString(const std::string &cp1252)
{
    return QString::fromStdString(cp1252ToUtf8(cp1252));
}

std::string toCp1252(const QString &text)
{
    return utf8ToCp1252(text.toStdString());
}

QString nativePath(const std::filesystem::path &path)
{
    return QDir::toNativeSeparators(QFile::decodeName(path.string().c_str()));
}

std::filesystem::path toPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString contactsCount(std::int64_t count)
{
    return count == 1 ? QStringLiteral("1 contact") : QStringLiteral("%L1 contacts").arg(count);
}

} // namespace ondelog

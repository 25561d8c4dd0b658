#include "ui/qtext.h"

#include "text/text.h"

namespace ondelog {

QString toQString(const std::string &cp1252)
{
    return QString::fromStdString(cp1252ToUtf8(cp1252));
}

std::string toCp1252(const QString &text)
{
    return utf8ToCp1252(text.toStdString());
}

} // namespace ondelog

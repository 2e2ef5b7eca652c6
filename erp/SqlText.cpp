#include "SqlText.h"

#include <QRegularExpression>

namespace sqltext {

QString quoted(const QString& value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

bool isNumber(const QString& value)
{
    static const QRegularExpression number(QStringLiteral(
        "\\A *[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)? *\\z"));
    return number.match(value).hasMatch();
}

} // namespace sqltext

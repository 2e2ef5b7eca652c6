#include "erp/SqlText.h"

#include <QRegularExpression>

#include <algorithm>

namespace sqltext {
namespace {

struct Parsed {
    bool valid = false;
    bool negative = false;
    bool zero = true;
    qint64 integerDigits = 0; // digits before the point of the exact value
    qint64 power = 0; // power of ten of the first significant digit
};

Parsed parse(const QString& value)
{
    Parsed p;
    const std::optional<NumberParts> parts = numberParts(value);
    if (!parts)
        return p;
    p.valid = true;
    p.negative = parts->negative;
    const QString& digits = parts->digits;
    const qsizetype first = [&] {
        for (qsizetype i = 0; i < digits.size(); ++i)
            if (digits[i] != u'0')
                return i;
        return qsizetype(-1);
    }();
    if (first < 0)
        return p; // zero, whatever the exponent
    p.zero = false;
    // The first significant digit stands at this power of ten.
    p.power = parts->point - 1 - first;
    p.integerDigits = p.power >= 0 ? p.power + 1 : 0;
    return p;
}

} // namespace

std::optional<NumberParts> numberParts(const QString& value)
{
    static const QRegularExpression number(
        QStringLiteral("\\A *([+-]?)([0-9]*)(?:\\.([0-9]*))?(?:[eE]([+-]?[0-9]+))? *\\z"));
    const QRegularExpressionMatch m = number.match(value);
    const QString whole = m.captured(2);
    const QString fraction = m.captured(3);
    if (!m.hasMatch() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    // The exponent only matters within a range far beyond any column;
    // clamping keeps the callers' arithmetic from overflowing.
    const QString exponentText = m.captured(4);
    qint64 exponent = 0;
    for (QChar c : exponentText) {
        if (c.isDigit())
            exponent = std::min<qint64>(exponent * 10 + c.digitValue(), 1000000);
    }
    if (exponentText.startsWith(u'-'))
        exponent = -exponent;
    NumberParts parts;
    parts.negative = m.captured(1) == QLatin1String("-");
    parts.digits = whole + fraction;
    parts.point = qint64(whole.size()) + exponent;
    return parts;
}

QString quoted(const QString& value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

bool isNumber(const QString& value)
{
    const Parsed p = parse(value);
    return p.valid && p.integerDigits <= kMaxIntegerDigits;
}

bool isQuantity(const QString& value)
{
    const Parsed p = parse(value);
    // At least 0.01: a smaller quantity would be staged as 0.00.
    return p.valid && p.integerDigits <= kMaxIntegerDigits && !p.zero && !p.negative && p.power >= -2;
}

QString decimalText(const QString& value, int decimals)
{
    static const QRegularExpression plain(QStringLiteral("\\A *([+-]?)([0-9]*)(?:\\.([0-9]*))? *\\z"));
    const QRegularExpressionMatch m = plain.match(value);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return {};
    QString whole = m.captured(2);
    QString fraction = m.captured(3);
    if (decimals >= 0 && fraction.size() > decimals) {
        const bool up = fraction[decimals] >= u'5';
        fraction.truncate(decimals);
        if (up) {
            // Carry the rounding through the kept digits, into the whole
            // part when every kept decimal is a 9.
            QString digits = whole + fraction;
            qsizetype i = digits.size() - 1;
            for (; i >= 0 && digits[i] == u'9'; --i)
                digits[i] = u'0';
            if (i >= 0)
                digits[i] = QChar(digits[i].unicode() + 1);
            else
                digits.prepend(u'1');
            whole = digits.left(digits.size() - fraction.size());
            fraction = digits.right(fraction.size());
        }
    }
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    qsizetype lead = 0;
    while (lead < whole.size() - 1 && whole[lead] == u'0')
        ++lead;
    whole = whole.mid(lead);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    const bool zero = whole == QLatin1String("0") && fraction.isEmpty();
    QString out = (m.captured(1) == QLatin1String("-") && !zero) ? QStringLiteral("-") : QString();
    out += whole;
    if (!fraction.isEmpty())
        out += u'.' + fraction;
    return out;
}

} // namespace sqltext

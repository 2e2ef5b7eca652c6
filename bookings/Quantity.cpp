#include "bookings/Quantity.h"

#include "erp/SqlText.h"

#include <QRegularExpression>

#include <limits>

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

// A number the ERP gives, read exactly as the whole hundredths at or below
// it (floor) and whether anything lies beyond them. Values beyond qint64
// stay at its bounds, far outside any stock.
struct Hundredths {
    bool valid = false;
    qint64 floor = 0;
    bool beyond = false;
};

Hundredths readNumber(const QString& number)
{
    const std::optional<sqltext::NumberParts> parts = sqltext::numberParts(number);
    if (!parts)
        return {};
    // In hundredths the point stands two places further right.
    const QString& digits = parts->digits;
    const qint64 point = parts->point + Quantity::kDecimals;
    qint64 value = 0;
    bool overflow = false;
    bool beyond = false;
    const auto push = [&](int digit) {
        if (overflow || value > (kMax - digit) / 10)
            overflow = true;
        else
            value = value * 10 + digit;
    };
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const int digit = digits[i].digitValue();
        if (i < point)
            push(digit);
        else if (digit != 0)
            beyond = true;
    }
    for (qint64 i = digits.size(); i < point && value != 0 && !overflow; ++i)
        push(0);
    if (overflow)
        value = kMax;
    Hundredths read;
    read.valid = true;
    read.beyond = beyond;
    read.floor = parts->negative ? -value - (beyond ? 1 : 0) : value;
    return read;
}

} // namespace

std::optional<Quantity> Quantity::fromText(const QString& text)
{
    static const QRegularExpression plain(QStringLiteral("\\A *\\+?([0-9]*)(?:\\.([0-9]*))? *\\z"));
    const QRegularExpressionMatch m = plain.match(text);
    QString whole = m.captured(1);
    QString fraction = m.captured(2);
    if (!m.hasMatch() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    qsizetype lead = 0;
    while (lead < whole.size() && whole[lead] == u'0')
        ++lead;
    whole = whole.mid(lead);
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (whole.size() > kWholeDigits || fraction.size() > kDecimals)
        return std::nullopt;
    const qint64 hundredths = whole.toLongLong() * 100 + fraction.leftJustified(kDecimals, u'0').toLongLong();
    if (hundredths <= 0)
        return std::nullopt;
    return Quantity(hundredths);
}

QString Quantity::text() const
{
    QString out = QString::number(m_hundredths / 100);
    const qint64 cents = m_hundredths % 100;
    if (cents != 0) {
        out += u'.' + QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
        if (out.endsWith(u'0'))
            out.chop(1);
    }
    return out;
}

bool Quantity::keptBySqlite() const
{
    qint64 limit = 1;
    for (int i = 0; i < kSqliteWholeDigitsWithDecimals; ++i)
        limit *= 10;
    return m_hundredths % 100 == 0 || m_hundredths / 100 < limit;
}

Quantity& Quantity::operator+=(Quantity other)
{
    if (__builtin_add_overflow(m_hundredths, other.m_hundredths, &m_hundredths))
        m_hundredths = kMax;
    return *this;
}

bool Quantity::exceeds(const QString& number) const
{
    // For a whole number of hundredths q and any number s: q > s exactly
    // when q is above the whole hundredths at or below s.
    return m_hundredths > readNumber(number).floor;
}

bool Quantity::isAboveZero(const QString& number)
{
    const Hundredths read = readNumber(number);
    return read.valid && (read.floor > 0 || (read.floor == 0 && read.beyond));
}

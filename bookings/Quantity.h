#pragma once
// The quantity of a staged line: a decimal number above 0 with at most two
// decimals and at most 16 digits before the point, which is exactly what
// the staging table's decimal(18,2) column keeps and what the voucher's
// columns take. It is held as a whole number of hundredths, so quantities
// are compared and added exactly, never through a double, and its text is
// the one the table gives back ("1.50" is kept as "1.5").
#include <QString>

#include <compare>
#include <optional>

class Quantity {
public:
    static constexpr int kDecimals = 2;
    static constexpr int kWholeDigits = 16;
    // On an SQLite engine (embedded, or through its ODBC driver) the column
    // keeps a quantity with decimals as a double, whose two decimals come
    // back exactly only up to this many digits before the point.
    static constexpr int kSqliteWholeDigitsWithDecimals = 13;

    // Zero: the start of a sum. No staged line has it.
    Quantity() = default;

    // The quantity a clerk typed or the grid holds: plain decimal digits
    // with an optional "+", an optional point and blanks around ("1.50",
    // ".5", " 3 ", "+2"), above 0, at most two decimals and 16 digits
    // before the point. Nothing for anything else: "1.125" would be stored
    // as 1.13, "0.005" as 0; "1e3", "１２", "-1", "1,5",
    // "12345678901234567" are no quantities a clerk types.
    static std::optional<Quantity> fromText(const QString& text);

    // The shortest decimal text: "1.5", "0.5", "3", "12.05".
    QString text() const;

    // Whether an SQLite engine keeps this quantity exactly: every whole
    // number, and one with decimals up to kSqliteWholeDigitsWithDecimals
    // digits before the point.
    bool keptBySqlite() const;

    // A sum of quantities. Sums beyond 92,233,720,368,547,758.07 (nine
    // lines of 16 digits each fit well below it) stay at that bound.
    Quantity& operator+=(Quantity other);
    friend Quantity operator+(Quantity a, Quantity b) { return a += b; }

    // Whether this quantity is more than a number the ERP gives, such as a
    // stock on hand, which may be negative, have more decimals or an
    // exponent ("-3", "12.345678", "1e+16"). Exact whatever its decimals.
    // A text that is no number counts as 0.
    bool exceeds(const QString& number) const;

    // Whether a number the ERP gives is above 0 (exactly: "0.000001" is).
    // A text that is no number is not.
    static bool isAboveZero(const QString& number);

    friend auto operator<=>(const Quantity&, const Quantity&) = default;

private:
    explicit Quantity(qint64 hundredths) : m_hundredths(hundredths) { }
    qint64 m_hundredths = 0;
};

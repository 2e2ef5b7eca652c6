// Quantities exact to the hundredth: what a clerk may type, the text the
// staging table gives back, sums, and the comparison with a stock the ERP
// reports in any form.
#include "bookings/Quantity.h"

#include <gtest/gtest.h>

namespace {

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

Quantity q(const char* text)
{
    const std::optional<Quantity> parsed = Quantity::fromText(s(text));
    EXPECT_TRUE(parsed) << text;
    return parsed.value_or(Quantity());
}

TEST(Quantity, TypedTextAndTheTextKept)
{
    const std::pair<const char*, const char*> kept[] = {
        {"1", "1"},
        {" 3 ", "3"},
        {"+2", "2"},
        {".5", "0.5"},
        {"1.50", "1.5"},
        {"1.", "1"},
        {"0.01", "0.01"},
        {"12.05", "12.05"},
        {"007.500", "7.5"},
        {"9999999999999999.99", "9999999999999999.99"},
        {"00000000000000001234567890123456", "1234567890123456"},
    };
    for (const auto& [typed, text] : kept)
        EXPECT_EQ(q(typed).text(), s(text)) << typed;
    for (const char* refused : {"", " ", ".", "0", "0.00", "-1", "-0.5", "1.125", "0.005", "1e3", "1,5", "１２",
                                "12345678901234567", "inf", "nan", "0x10", "1 2", "1;delete from ckmx", "\t1"})
        EXPECT_FALSE(Quantity::fromText(s(refused))) << refused;
}

TEST(Quantity, ComparedAndAddedExactly)
{
    // 0.1 + 0.2 is 0.3 here, unlike in a double.
    EXPECT_EQ(q("0.1") + q("0.2"), q("0.3"));
    EXPECT_EQ((q("0.1") + q("0.2")).text(), s("0.3"));
    EXPECT_LT(q("1.49"), q("1.5"));
    EXPECT_EQ(q("1.50"), q("1.5"));
    EXPECT_EQ((q("9999999999999999.99") + q("0.01")).text(), s("10000000000000000"));
    Quantity total;
    for (int i = 0; i < 100; ++i)
        total += q("9999999999999999.99");
    EXPECT_EQ(total.text(), s("92233720368547758.07")); // held at the bound, not wrapped round
}

TEST(Quantity, AgainstAStockInAnyForm)
{
    struct Case {
        const char* quantity;
        const char* stock;
        bool exceeds;
    };
    const Case cases[] = {
        {"5", "5", false},
        {"5.01", "5", true},
        {"5", "4.999999", true},
        {"12.34", "12.345678", false},
        {"12.35", "12.345678", true},
        {"0.01", "0", true},
        {"0.01", "0.009", true},
        {"0.01", "0.01", false},
        {"1", "-3", true},
        {"1", "-0.001", true},
        {"1", "1e+16", false},
        {"1", "1.5E-1", true},
        {"100", "1e2", false},
        {"100.01", "1E2", true},
        {"1", "-1e+30", true},
        {"9999999999999999.99", "1e+30", false},
        {"1", "", true},
        {"1", "abc", true}, // a stock that is no number counts as 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(q(c.quantity).exceeds(s(c.stock)), c.exceeds) << c.quantity << " vs " << c.stock;

    for (const char* above : {"1", "0.000001", "1e-9", "+3", "1e+40"})
        EXPECT_TRUE(Quantity::isAboveZero(s(above))) << above;
    for (const char* notAbove : {"0", "-0", "0.000", "-0.000001", "-5", "", "x", "0e5"})
        EXPECT_FALSE(Quantity::isAboveZero(s(notAbove))) << notAbove;
}

TEST(Quantity, WhatAnSqliteEngineKeeps)
{
    EXPECT_TRUE(q("1234567890123456").keptBySqlite()); // whole numbers: all 16 digits
    EXPECT_TRUE(q("9999999999999.99").keptBySqlite()); // 13 digits with decimals
    EXPECT_FALSE(q("10000000000000.5").keptBySqlite());
}

} // namespace

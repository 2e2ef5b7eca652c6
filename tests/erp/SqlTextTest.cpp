#include "erp/SqlText.h"

#include <gtest/gtest.h>

TEST(SqlText, QuotedDoublesSingleQuotesAndLeavesEverythingElse)
{
    EXPECT_EQ(sqltext::quoted(QStringLiteral("A-100")), QStringLiteral("A-100"));
    EXPECT_EQ(sqltext::quoted(QStringLiteral("O'Brien")), QStringLiteral("O''Brien"));
    EXPECT_EQ(sqltext::quoted(QStringLiteral("'';--")), QStringLiteral("'''';--"));
    EXPECT_EQ(sqltext::quoted(QStringLiteral("螺丝%[;")), QStringLiteral("螺丝%[;"));
    EXPECT_EQ(sqltext::quoted(QString()), QString());
}

TEST(SqlText, OnlyPlainNumbersMayStandBare)
{
    for (const char* good : {"1", "0", "12.5", "-3", "+4", ".5", "5.", "1e3", "2.5E-2", " 7 "})
        EXPECT_TRUE(sqltext::isNumber(QString::fromUtf8(good))) << good;
    for (const char* bad : {"", " ", "abc", "1,5", "1;drop table ckmx", "1--", "1 2", "--1", "1e", "0x10", "1'", "１",
                            "NaN", "inf", "1)", "(1", ".", "-", "e5"})
        EXPECT_FALSE(sqltext::isNumber(QString::fromUtf8(bad))) << bad;
}

// A quantity: a finite number with at most 16 digits before the point (what
// the staging table's decimal(18,2) holds) and at least 0.01.
TEST(SqlText, QuantitiesFitTheQuantityColumnsAndAreAboveZero)
{
    const struct {
        const char* text;
        bool number;
        bool quantity;
    } cases[] = {
        {"1", true, true},
        {"0.01", true, true},
        {"9999999999999999.99", true, true}, // 16 digits before the point
        {"0000000000000000000000012", true, true}, // leading zeros do not count
        {"1.5e15", true, true},
        {"0.009", true, false}, // staged as 0.00
        {"1e-400", true, false},
        {"10000000000000000", false, false}, // 17 digits
        {"99999999999999999999", false, false},
        {"123456789012345678.456", false, false},
        {"1e16", false, false},
        {"1e309", false, false}, // infinity as a double
        {"-1e309", false, false},
        {"1e99999999999999999999", false, false},
        {"0", true, false},
        {"0.000", true, false},
        {"0e999", true, false},
        {"-1", true, false},
        {"-0.5", true, false},
        {"abc", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sqltext::isNumber(QString::fromUtf8(c.text)), c.number) << c.text;
        EXPECT_EQ(sqltext::isQuantity(QString::fromUtf8(c.text)), c.quantity) << c.text;
    }
}

TEST(SqlText, DecimalTextIsTheShortestPlainFormRoundedLikeADecimalColumn)
{
    struct Case {
        const char* text;
        int decimals;
        const char* expected; // "" for refused
    } cases[] = {
        {"+007.50", -1, "7.5"},
        {".5", -1, "0.5"},
        {" 3 ", -1, "3"},
        {"-0.00", -1, "0"},
        {"12.", -1, "12"},
        {"1.125", -1, "1.125"},
        {"1.125", 2, "1.13"}, // half away from zero
        {"1.124", 2, "1.12"},
        {"-1.125", 2, "-1.13"},
        {"9.995", 2, "10"}, // the carry reaches the whole part
        {"99.999", 2, "100"},
        {"0.005", 2, "0.01"},
        {"0.004", 2, "0"},
        {"9999999999999999.99", 2, "9999999999999999.99"},
        {"123456789012.250000", 2, "123456789012.25"},
        {"1e3", -1, ""},
        {"１２", -1, ""},
        {"", -1, ""},
        {".", -1, ""},
        {"1,5", -1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sqltext::decimalText(QString::fromUtf8(c.text), c.decimals), QString::fromUtf8(c.expected))
            << c.text << " " << c.decimals;
}

#include "SqlText.h"

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
    for (const char* bad : {"", " ", "abc", "1,5", "1;drop table ckmx", "1--", "1 2", "--1", "1e", "0x10", "1'",
                            "１", "NaN", "inf", "1)", "(1"})
        EXPECT_FALSE(sqltext::isNumber(QString::fromUtf8(bad))) << bad;
}

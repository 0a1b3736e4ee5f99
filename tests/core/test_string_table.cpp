#include "res/CStringTable.h"

#include <climits>
#include <gtest/gtest.h>

TEST(StringTable, TextsById)
{
    EXPECT_EQ(CStringTable::Get(128), QStringLiteral("Kelvo+"));
    EXPECT_EQ(CStringTable::Get(184), QStringLiteral("Broken Information"));
    EXPECT_EQ(CStringTable::Get(136), QStringLiteral("Refresh ")); // the trailing blank is part of it
    EXPECT_TRUE(CStringTable::Get(129).isEmpty());
}

TEST(StringTable, ResultTextPicksTheEntryOrUnknownError)
{
    const QString unknown = CStringTable::Get(CStringTable::IDS_UNKNOWN_ERROR);
    EXPECT_EQ(CStringTable::ResultText(197, 5, 198, 202), QStringLiteral("PIN Code error"));
    EXPECT_EQ(CStringTable::ResultText(197, 1, 198, 202), QStringLiteral("Start streaming failed"));
    EXPECT_EQ(CStringTable::ResultText(197, 6, 198, 202), unknown);
    EXPECT_EQ(CStringTable::ResultText(205, -4, 206, 210), unknown);
    EXPECT_EQ(CStringTable::ResultText(205, 4, 206, 210), QStringLiteral("Wrong value"));
    EXPECT_EQ(CStringTable::ResultText(205, INT_MAX, 206, 210), unknown);
}

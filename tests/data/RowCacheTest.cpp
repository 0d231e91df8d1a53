#include "data/RowCache.h"

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

std::vector<QVariant> numbers(int from, int count) {
    std::vector<QVariant> values;
    for (int i = 0; i < count; ++i) {
        values.emplace_back(from + i);
    }
    return values;
}

TEST(RowCacheTest, BlockServesEveryRowItCoversForItsColumnOnly) {
    RowCache cache({4, 8, 8});
    EXPECT_EQ(cache.blockStart(6), 4);
    EXPECT_EQ(cache.findValue(6, 0), nullptr);
    EXPECT_EQ(cache.keepBlock(6, 0, numbers(40, 4)).toInt(), 42);
    for (int row = 4; row < 8; ++row) {
        const QVariant* v = cache.findValue(row, 0);
        ASSERT_NE(v, nullptr) << row;
        EXPECT_EQ(v->toInt(), 36 + row);
    }
    EXPECT_EQ(cache.findValue(3, 0), nullptr) << "the block before";
    EXPECT_EQ(cache.findValue(8, 0), nullptr) << "the block after";
    EXPECT_EQ(cache.findValue(5, 1), nullptr) << "another column";
}

TEST(RowCacheTest, ShortLastBlockAnswersOnlyForTheRowsItHolds) {
    RowCache cache({4, 8, 8});
    cache.keepBlock(8, 2, numbers(0, 2));  // rows 8 and 9 of a ten-row table
    EXPECT_NE(cache.findValue(9, 2), nullptr);
    EXPECT_EQ(cache.findValue(10, 2), nullptr);
}

TEST(RowCacheTest, BlockUsedLongestAgoGoesFirst) {
    RowCache cache({4, 2, 8});
    cache.keepBlock(0, 0, numbers(0, 4));       // A
    cache.keepBlock(4, 0, numbers(4, 4));       // B
    ASSERT_NE(cache.findValue(1, 0), nullptr);  // A is used again
    cache.keepBlock(8, 0, numbers(8, 4));       // C pushes out B
    EXPECT_EQ(cache.blockCount(), 2u);
    EXPECT_NE(cache.findValue(2, 0), nullptr);
    EXPECT_EQ(cache.findValue(5, 0), nullptr);
    EXPECT_NE(cache.findValue(9, 0), nullptr);
    // The look-ups just made used A, then C: the next block pushes out A.
    cache.keepBlock(0, 1, numbers(0, 4));
    EXPECT_EQ(cache.findValue(2, 0), nullptr);
    EXPECT_NE(cache.findValue(9, 0), nullptr);
}

TEST(RowCacheTest, KeepingABlockAgainReplacesItWithoutTakingAnotherPlace) {
    RowCache cache({4, 2, 8});
    cache.keepBlock(0, 0, numbers(0, 4));
    cache.keepBlock(4, 0, numbers(4, 4));
    cache.keepBlock(0, 0, numbers(100, 4));
    EXPECT_EQ(cache.blockCount(), 2u);
    EXPECT_EQ(cache.findValue(0, 0)->toInt(), 100);
    EXPECT_NE(cache.findValue(4, 0), nullptr);
}

TEST(RowCacheTest, WholeRowsGoInTheOrderTheyWereRead) {
    RowCache cache({4, 8, 2});
    cache.keepRow(11, {QVariant(1)});
    cache.keepRow(12, {QVariant(2)});
    ASSERT_NE(cache.findRow(11), nullptr);  // a look-up does not renew the row
    cache.keepRow(13, {QVariant(3)});
    EXPECT_EQ(cache.rowCount(), 2u);
    EXPECT_EQ(cache.findRow(11), nullptr);
    EXPECT_EQ(cache.findRow(12)->at(0).toInt(), 2);
    EXPECT_EQ(cache.findRow(13)->at(0).toInt(), 3);
    cache.keepRow(13, {QVariant(30)});  // read again: replaced in place
    EXPECT_EQ(cache.rowCount(), 2u);
    EXPECT_EQ(cache.findRow(13)->at(0).toInt(), 30);
    EXPECT_NE(cache.findRow(12), nullptr);
}

TEST(RowCacheTest, ClearForgetsBlocksAndRows) {
    RowCache cache;
    cache.keepBlock(0, 0, numbers(0, 128));
    cache.keepRow(1, {QVariant(1)});
    cache.clear();
    EXPECT_EQ(cache.blockCount(), 0u);
    EXPECT_EQ(cache.rowCount(), 0u);
    EXPECT_EQ(cache.findValue(0, 0), nullptr);
    EXPECT_EQ(cache.findRow(1), nullptr);
}

}  // namespace
}  // namespace meridell::data

#include "common/core/Gb2312.h"

#include <gtest/gtest.h>

using namespace meridell;

namespace {

// Byte counts of texts that mix ASCII, Chinese and characters code page 936 has no bytes for.
TEST(Gb2312Test, CountsBytesOfMixedTexts) {
    struct Case {
        const char* what;
        QString text;
        int bytes;
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"ASCII", "Project 2004-17, 50%", 20},
        {"Chinese", "区域创新体系研究", 16},
        {"mixed", "第2期：R-0042号", 15},
        {"full-width and pinyin letters", "（①é）", 8},
        {"the euro sign has one byte", "€5", 2},
        {"no bytes for an emoji or Hangul", "a😀한b", 6},
        {"a lone surrogate", QString(QChar(0xD800)) + "x", 3},
        {"a tag character, which the converter would drop", "x" + QString::fromUcs4(U"\U000E0041") + "y", 4},
        {"a long text", QString(3000, QChar(0x7814)) + QString(1000, 'a'), 7000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gb2312Bytes(c.text), c.bytes) << c.what;
    }
}

TEST(Gb2312Test, EncodesWithAQuestionMarkForWhatItCannot) {
    EXPECT_EQ(toGb2312("a项😀b"), QByteArray("a\xcf\xee?b"));
    EXPECT_EQ(toGb2312(""), QByteArray());
}

}  // namespace

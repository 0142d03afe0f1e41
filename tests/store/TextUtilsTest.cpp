#include <gtest/gtest.h>

#include "TextUtils.h"

TEST(MbcsPos, NeverMatchesAtTheSecondByte) {
    EXPECT_EQ(MbcsPos("\x40", "\x81\x40"), 0u);
    EXPECT_EQ(MbcsPos("=", "\x81\x3D"), 2u);
}

TEST(CompareLocale, FullWidthLettersIgnoreCase) {
    EXPECT_EQ(CompareLocaleNoCase("ａｂｃ", "ＡＢＣ"), 0);
    EXPECT_NE(CompareLocale("ａｂｃ", "ＡＢＣ"), 0);
}

// The nesting limit of helper commands, read from the variable each hands on.
#include <gtest/gtest.h>

#include "HelperChain.h"
#include "TestSupport.h"

using namespace testing_support;

TEST(HelperChain, SixteenHelpersNestAndTheNextOneRefuses) {
    std::wstring depth, next;
    unsigned started = 0;
    while (NextChainDepth(depth, next)) {
        ASSERT_LT(++started, 100u);
        EXPECT_EQ(next, std::to_wstring(started));
        depth = next;
    }
    EXPECT_EQ(started, 16u); // the 17th helper of a chain refuses
}

TEST(HelperChain, HandEditedValues) {
    std::wstring next;
    for (const wchar_t* junk : {L"", L"abc", L"3x", L"-3", L"0x10", L" ", L"\uFF11"}) {
        ASSERT_TRUE(NextChainDepth(junk, next)) << WideToAnsi(junk);
        EXPECT_EQ(next, L"1") << WideToAnsi(junk);
    }
    ASSERT_TRUE(NextChainDepth(L" 7\t", next));
    EXPECT_EQ(next, L"8");
    ASSERT_TRUE(NextChainDepth(L"015", next));
    EXPECT_EQ(next, L"16");
    for (const wchar_t* over : {L"16", L"17", L"160", L"99999999999999999999999"})
        EXPECT_FALSE(NextChainDepth(over, next)) << WideToAnsi(over);
}

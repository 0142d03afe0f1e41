// The rule that decides a definition file's encoding, and the exact conversions.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <random>

#include "Encoding.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

TTextEncoding Decide(const std::string& bytes) {
    TEncodingRule rule;
    rule.Feed(bytes.data(), bytes.size());
    return rule.Encoding();
}

// Random Japanese text in code page 932: characters of one kind, 8 to 64 of them.
enum TKind { kHiragana, kKatakana, kKanji, kHalfWidthKatakana, kMixed, kKinds };
const char* const kKindNames[] = {"hiragana", "katakana", "kanji", "half-width katakana",
                                  "mixed with ASCII"};

std::string Cp932Character(TKind kind, std::mt19937& rng) {
    for (;;) {
        std::string c;
        switch (kind) {
        case kHiragana: // 0x829F-0x82F1
            c = {char(0x82), char(0x9F + rng() % (0xF2 - 0x9F))};
            break;
        case kKatakana: // 0x8340-0x8396, no 0x837F
            c = {char(0x83), char(0x40 + rng() % (0x97 - 0x40))};
            break;
        case kKanji: { // both levels: leads 0x88-0x9F and 0xE0-0xEA
            const unsigned lead = rng() % 2 ? 0x88 + rng() % 0x18 : 0xE0 + rng() % 0x0B;
            const unsigned trail = 0x40 + rng() % (0xFD - 0x40);
            c = {char(lead), char(trail)};
            break;
        }
        case kHalfWidthKatakana: // 0xA1-0xDF
            c = {char(0xA1 + rng() % (0xE0 - 0xA1))};
            break;
        default:
            return rng() % 3 ? Cp932Character(TKind(rng() % 4), rng)
                             : std::string(1, char('a' + rng() % 26));
        }
        // Only characters code page 932 defines.
        wchar_t w[2];
        if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, c.data(), int(c.size()), w, 2) == 1)
            return c;
    }
}

TEST(EncodingRule, Utf8TextIsTakenForUtf8AndCodePage932TextRarely) {
    std::mt19937 rng(20261209);
    // Every UTF-8 text with a character of more than one byte is UTF-8, whatever its script.
    const wchar_t pool[] = L"aZ=[]\u00e9\u00c9\u00fc\u3042\u30c4\u30bd\u8868\ud55c\uff76";
    for (int i = 0; i < 20000; ++i) {
        std::wstring text(1, L'\u00e9' + wchar_t(rng() % 0x2000));
        for (size_t n = rng() % 40; n > 0; --n)
            text.insert(rng() % (text.size() + 1), 1, pool[rng() % (sizeof pool / 2 - 1)]);
        if (rng() % 4 == 0)
            text += L"\U0001F600";
        std::string bytes;
        ASSERT_TRUE(FromWide(text, teUtf8, bytes));
        ASSERT_EQ(Decide(bytes), teUtf8) << Printable(bytes);
    }
    // Code page 932 text: a text that starts with a character, or has one after an ASCII
    // character, whose first byte no UTF-8 character starts with (0x80-0xC1, 0xF5-0xFF) is never
    // taken for UTF-8. The share of the others that are is counted.
    int misread[kKinds] = {}, total[kKinds] = {};
    for (int kind = 0; kind < kKinds; ++kind) {
        for (int i = 0; i < 20000; ++i) {
            std::string bytes;
            bool guarded = false;
            for (size_t n = 8 + rng() % 57; n > 0; --n) {
                const std::string c = Cp932Character(TKind(kind), rng);
                const unsigned char first = c[0];
                const bool afterAscii =
                    bytes.empty() || static_cast<unsigned char>(bytes.back()) < 0x80;
                guarded =
                    guarded || (afterAscii && (first >= 0x80 && (first <= 0xC1 || first >= 0xF5)));
                bytes += c;
            }
            ++total[kind];
            if (Decide(bytes) == teUtf8) {
                ++misread[kind];
                ASSERT_FALSE(guarded) << Printable(bytes);
            }
        }
    }
    for (int kind = 0; kind < kKinds; ++kind)
        printf("code page 932 texts of %s taken for UTF-8: %d of %d\n", kKindNames[kind],
               misread[kind], total[kind]);
    // Text of full-width characters alone never is: each starts with a byte that UTF-8 would
    // need a lead byte before.
    EXPECT_EQ(misread[kHiragana], 0);
    EXPECT_EQ(misread[kKatakana], 0);
}

TEST(EncodingRule, AMarkDecidesAndBrokenFormsAreNoUtf8) {
    for (const char* broken : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                               "\xE3\x83", "\x80", "\xFE", "\xC3"}) {
        EXPECT_EQ(Decide(std::string("a") + broken + "\xC3\xA9"), teCp932) << Printable(broken);
        TEncodingRule rule;
        rule.Mark();
        rule.Feed(broken, strlen(broken));
        EXPECT_EQ(rule.Encoding(), teUtf8);
        EXPECT_FALSE(rule.Valid());
    }
    EXPECT_EQ(Decide("ascii only [a]\r\nk=v"), teCp932); // the same bytes in both
    EXPECT_EQ(Decide("\xF0\x9F\x98\x80"), teUtf8);
    EXPECT_EQ(Decide("\xEF\xBF\xBF\xF4\x8F\xBF\xBF"), teUtf8); // U+FFFF, U+10FFFF
}

TEST(EncodingConversions, ExactOrRefused) {
    std::string bytes;
    std::wstring wide;
    EXPECT_FALSE(FromWide(L"caf\u00e9", teCp932, bytes));
    EXPECT_FALSE(FromWide(L"a\u00a5", teCp932, bytes)); // no best fit: not a backslash
    EXPECT_TRUE(FromWide(L"caf\u00e9", teUtf8, bytes));
    EXPECT_EQ(bytes, "caf\xC3\xA9");
    EXPECT_FALSE(FromWide(std::wstring(1, wchar_t(0xD800)), teUtf8, bytes));
    EXPECT_TRUE(FromWide(L"\u8868\uff76", teCp932, bytes));
    EXPECT_EQ(bytes, "\x95\x5C\xB6");
    EXPECT_FALSE(ToWide("\x81", teCp932, wide));
    EXPECT_FALSE(ToWide("\xE3\x83", teUtf8, wide));
    EXPECT_TRUE(ToWide(std::string("a\0b", 3), teUtf8, wide));
    EXPECT_EQ(wide, std::wstring(L"a\0b", 3));
}

} // namespace

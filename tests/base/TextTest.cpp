// Byte-level text rules: blanks, double-byte boundaries, locale comparison, argument splitting,
// and the whole-file buffer that feeds the loader.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "CommandLine.h"
#include "ExtMem.h"
#include "Files.h"
#include "Handle.h"
#include "TestSupport.h"
#include "Text.h"
#include "TextBuffer.h"

using namespace testing_support;
using Args = std::vector<std::string>;

TEST(Trim, TabsNulAndControlBytesAreBlanks) {
    const std::string s("\t\0 a b\x1F\0\t", 9);
    EXPECT_EQ(TrimBlanks(s), "a b");
    EXPECT_EQ(TrimLeftBlanks(s), std::string("a b\x1F\0\t", 6));
    EXPECT_EQ(TrimRightBlanks(s), std::string("\t\0 a b", 6));
    EXPECT_EQ(TrimBlanks(" \t "), "");
}

TEST(MbcsPos, NeverMatchesAtTheSecondByte) {
    EXPECT_EQ(MbcsPos("\x40", "\x81\x40"), 0u);
    EXPECT_EQ(MbcsPos("=", "\x81\x3D"), 2u); // 0x3D is no trail byte: two characters
    EXPECT_EQ(MbcsPos("=", "\x88\x9F=x"), 3u);
    EXPECT_EQ(MbcsPos("@", "\x81\x40@"), 3u);
    EXPECT_EQ(MbcsPos("", "abc"), 0u);
    EXPECT_EQ(MbcsPos("abcd", "abc"), 0u);
}

TEST(LastCharPos, SkipsBackslashAsSecondByte) {
    EXPECT_EQ(LastCharPos("\\", "a\\b\x95\x5C"), 2u); // 0x95 0x5C is one character
    EXPECT_EQ(LastCharPos("\\/", "a/b\\c"), 4u);
    EXPECT_EQ(LastCharPos("\\", "abc"), 0u);
    EXPECT_EQ(LastCharPos("\\", "\x95"), 0u); // lone lead byte at the end
}

// The name starts after the last separator and the extension at the name's last "." (code page
// 932 characters are whole: 0x95 0x5C and 0x83 0x2E hold no separator and no dot); the same path
// in UTF-16 splits alike.
TEST(SplitPath, AgreesWithTheLastCharactersOfTheSetsInBothWidths) {
    for (const std::string path :
         {"", "a", "a.b", ".ini", "C:\\x\\y.exe", "d/e.f/g", "d.e\\f", "a\\", "\x95\x5C.txt",
          "x\\\x95\x5C", "p\\\x83\x2E", "a.b.c", "a\\.", "\x95"}) {
        const size_t name = LastCharPos("\\/", path), dot = LastCharPos(".", path.substr(name));
        const TPathParts parts = SplitPath(path);
        EXPECT_EQ(parts.FileName, name) << path;
        EXPECT_EQ(parts.Extension, dot ? name + dot - 1 : path.size()) << path;
        if (!IsPlainAscii(path))
            continue;
        const TPathParts wide = SplitPath(std::wstring(path.begin(), path.end()));
        EXPECT_EQ(wide.FileName, parts.FileName) << path;
        EXPECT_EQ(wide.Extension, parts.Extension) << path;
    }
}

TEST(LowerAscii, LeavesSecondBytesAlone) {
    EXPECT_EQ(LowerAscii("AbC\x83\x41Z"), "abc\x83\x41z");
}

TEST(CompareLocale, FullWidthLettersAndAsciiCase) {
    EXPECT_EQ(CompareLocaleNoCase("ａｂｃ", "ＡＢＣ"), 0);
    EXPECT_NE(CompareLocale("ａｂｃ", "ＡＢＣ"), 0);
    EXPECT_EQ(CompareLocaleNoCase("Alias", "aLIAS"), 0);
    EXPECT_NE(CompareLocale("Alias", "alias"), 0);
    EXPECT_EQ(CompareLocale("漢字", "漢字"), 0);
    EXPECT_NE(CompareLocaleNoCase("a", "b"), 0);
}

TEST(SplitCommandLine, QuotesBlanksAndEmptyArguments) {
    using W = std::vector<std::wstring>;
    EXPECT_EQ(SplitCommandLine(L"prog \"a b\" c"), (W{L"prog", L"a b", L"c"}));
    EXPECT_EQ(SplitCommandLine(L"prog \"\" c"), (W{L"prog", L"c"}));
    EXPECT_EQ(SplitCommandLine(L"prog x\"y z\"w"), (W{L"prog", L"xy zw"}));
    EXPECT_EQ(SplitCommandLine(L"prog\ta\t\tb"), (W{L"prog", L"a", L"b"}));
    EXPECT_EQ(SplitCommandLine(L"prog a\\\"b c\""), (W{L"prog", L"a\\b c"}));
    EXPECT_EQ(SplitCommandLine(L"prog \"open"), (W{L"prog", L"open"}));
    EXPECT_EQ(SplitCommandLine(L"   "), W{});
    // Characters of any script pass whole; U+00A0 and U+3000 are no blanks.
    EXPECT_EQ(SplitCommandLine(L"prog caf\u00e9 \"\U0001F600 \uD55C\" a\u00a0b\u3000c"),
              (W{L"prog", L"caf\u00e9", L"\U0001F600 \uD55C", L"a\u00a0b\u3000c"}));
}

TEST(ExtMem, AllocateOnceAndZeroSize) {
    TExtMem m;
    ASSERT_NE(m.Allocate(16), nullptr);
    EXPECT_EQ(m.Size(), 16u);
    EXPECT_EQ(m.Allocate(8), nullptr); // a block is held
    EXPECT_EQ(m.Size(), 16u);
    m.Release();
    EXPECT_FALSE(m.Allocated());
    ASSERT_NE(m.Allocate(0), nullptr);
    EXPECT_EQ(m.Size(), 0u);
    EXPECT_TRUE(m.Allocated());
}

static Args LinesOf(const std::string& bytes) {
    ScratchDir dir(CurrentTestName());
    const std::string path = dir / "t.txt";
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    TTextBuffer buf;
    EXPECT_EQ(buf.LoadFromFile(path), lrLoaded);
    Args lines;
    std::string line;
    while (buf.ReadLine(line))
        lines.push_back(line);
    return lines;
}

TEST(TextBuffer, LineSplitting) {
    EXPECT_EQ(LinesOf("a\r\nb\nc"), (Args{"a", "b", "c"}));
    EXPECT_EQ(LinesOf("a\n\nb\n"), (Args{"a", "", "b"}));
    EXPECT_EQ(LinesOf("a\rb\r\n"), (Args{"ab"})); // a lone CR is dropped, not a break
    EXPECT_EQ(LinesOf(std::string("x\0y\x1A\n", 5)), (Args{std::string("x\0y\x1A", 4)}));
    EXPECT_EQ(LinesOf("\n"), (Args{""}));
    EXPECT_EQ(LinesOf(""), Args{});
}

// A search for "[" lands on the lines a walk from line to line finds, in texts of pieces that
// fall on and across word boundaries and in whole pages, after whose last byte a view has none.
TEST(TextBuffer, SkipsToTheLinesALineWalkFinds) {
    ScratchDir dir(CurrentTestName());
    static const std::string pieces[] = {
        "[",  " [",   "\t", std::string(1, '\0'), "e", "E", "a", "x", "\x83[", "\xDB", "]",
        "\n", "\r\n", "\r", std::string(40, 'x')};
    std::string blanks; // but LF, which ends a line
    for (char c = 0; c <= ' '; ++c)
        if (c != '\n')
            blanks += c;
    std::mt19937 rng(32);
    for (int i = 0; i < 800; ++i) {
        const size_t size = i % 8 ? rng() % 100 : 4096;
        std::string text;
        while (text.size() < size)
            text += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        text.resize(size);
        ASSERT_TRUE(WriteFileBytes(dir / "t.txt", text));
        for (const char* next : {static_cast<const char*>(nullptr), "ea"}) {
            std::vector<size_t> want, got;
            for (size_t s = 0, e; s < text.size(); s = e + 1) {
                e = std::min(text.find('\n', s), text.size());
                const size_t b = text.find_first_not_of(blanks, s),
                             c = text.find_first_not_of(blanks, b + 1);
                if (b < e && text[b] == '[' &&
                    (!next || (c < e && strchr(next, LowerAsciiChar(text[c])))))
                    want.push_back(s);
            }
            TTextBuffer buf;
            ASSERT_EQ(buf.LoadFromFile(dir / "t.txt"), lrLoaded);
            for (std::string line; buf.SkipLinesNotStartingWith('[', next); buf.ReadLine(line))
                got.push_back(text.size() - buf.Rest().size());
            ASSERT_EQ(got, want) << Printable(text) << " " << (next ? next : "any");
        }
    }
}

// Only a file that is not there is missing; one that is there and cannot be read is not.
TEST(TextBuffer, OnlyAMissingFileIsMissing) {
    ScratchDir dir(CurrentTestName());
    ASSERT_TRUE(CreateDirectoryA((dir / "folder").c_str(), nullptr));
    const struct {
        const char* Name;
        std::string Bytes; // written first unless empty
        DWORD Share;       // a handle held open on it meanwhile, unless ~0
        TLoadResult Result;
    } cases[] = {
        {"none.txt", "", ~0u, lrMissing},
        {"nosuchfolder\\none.txt", "", ~0u, lrMissing},
        {"folder", "", ~0u, lrUnreadable},
        {"held.txt", "[a]", 0, lrUnreadable},
        {"shared.txt", "[a]", FILE_SHARE_READ, lrLoaded},
        {"utf16le.txt", "\xFF\xFE[\0a\0]\0", ~0u, lrUnreadable},
        {"utf16be.txt", "\xFE\xFF\0[\0a\0]", ~0u, lrUnreadable},
        {"ff.txt", "\xFF", ~0u, lrLoaded},
    };
    for (const auto& c : cases) {
        const std::string path = dir / c.Name;
        if (!c.Bytes.empty()) {
            ASSERT_TRUE(WriteFileBytes(path, c.Bytes));
        }
        TFileHandle held;
        if (c.Share != ~0u)
            held.Reset(CreateFileA(path.c_str(), GENERIC_READ, c.Share, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
        TTextBuffer buf;
        EXPECT_EQ(buf.LoadFromFile(path), c.Result) << c.Name;
        std::string line;
        EXPECT_EQ(buf.ReadLine(line), c.Result == lrLoaded) << c.Name;
    }
}

// The manager's own rules, checked in-process: which names a helper file can carry, the option
// form, how words join into parameters, and the name of the definition lock.
#include <gtest/gtest.h>

#include "Alias.h"
#include "Files.h"
#include "Names.h"
#include "TestSupport.h"
#include "ExtMem.h"
#include "Transaction.h"

using namespace testing_support;

namespace {

TEST(AliasNames, RefusedAreNamesNoPlainFileOfTheFolderCanCarry) {
    for (const char* name : {"",
                             "ALIAS",
                             "alias ",
                             " Alias",
                             "..\\up",
                             "a/b",
                             "c:x",
                             "a<b",
                             "a>b",
                             "a|b",
                             "a?b",
                             "a*b",
                             "a\"b",
                             "CON",
                             "nul",
                             "Prn",
                             "aux",
                             "COM1",
                             "com0",
                             "LPT9",
                             "con.txt",
                             "NUL.tar.gz",
                             "con .x",
                             " x",
                             "x ",
                             "x.",
                             "..",
                             "a\tb",
                             "a\x1F"
                             "b"})
        EXPECT_TRUE(IsRefusedName(name)) << Printable(name);
    // Near misses are plain names; a second byte 0x5C or 0x7C is no separator or pipe.
    for (const char* name :
         {"conx", "COM10", "nul_", "lpt", "x.y", "aliases", "a.b.c", "表", "\x83\x7C", "ｰ"})
        EXPECT_FALSE(IsRefusedName(name)) << Printable(name);
}

TEST(AliasOptions, ParsedInTheOrderTypedOrRefusedWhole) {
    // The command line is UTF-16; options and their values are read as they are.
    using Parsed = std::vector<std::pair<TOptionKind, std::string>>;
    auto parse = [](std::vector<std::string> args) {
        TArgs wide;
        for (const std::string& a : args)
            wide.push_back(AnsiToWide(a));
        std::vector<TOption> options;
        Parsed parsed;
        if (!ParseOptions(wide, options))
            return Parsed{{okDelEnv, "<refused>"}};
        for (const TOption& o : options)
            parsed.push_back({o.Kind, WideToAnsi(o.Value)});
        return parsed;
    };
    EXPECT_EQ(
        parse({"/PATH= a.exe ", "/param=-x", "/Dir=C:\\", "/env:K=v", "/delenv:K"}),
        (Parsed{
            {okPath, "a.exe"}, {okParam, "-x"}, {okDir, "C:\\"}, {okEnv, "K=v"}, {okDelEnv, "K"}}));
    // The words after /param are its own, options or not.
    EXPECT_EQ(parse({"/dir=a", "/param", "/dir=b", "c d"}),
              (Parsed{{okDir, "a"}, {okParam, "/dir=b \"c d\""}}));
    EXPECT_EQ(parse({"/param"}), (Parsed{{okParam, ""}}));
    const Parsed refused{{okDelEnv, "<refused>"}};
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"/bogus"},
                                               {"-dir=C:\\"},
                                               {"/dir=C:\\", "xyz"},
                                               {"/param=a\nb"},
                                               {"/env:A=1\r\n[x]"},
                                               {"/delenv:A\nB"},
                                               {"/param", "a", "b\r\nc"}})
        EXPECT_EQ(parse(args), refused) << Printable(args.back());
}

TEST(AliasParams, AWordIsQuotedWhenItHoldsABlankOrWhatTheInterpreterReads) {
    EXPECT_EQ(JoinParams({}), L"");
    EXPECT_EQ(
        JoinParams({L"-n", L"a b", L"x&y", L"p|q", L"<i", L"o>", L"c^d", L"%V%", L"\uFF5C",
                    L"caf\u00e9 \U0001F600"}),
        L"-n \"a b\" \"x&y\" \"p|q\" \"<i\" \"o>\" \"c^d\" %V% \uFF5C \"caf\u00e9 \U0001F600\"");
}

// Every spelling of one file names one lock, another file another; a path too long for an
// object name still names one.
TEST(DefinitionLock, OneFileOneLock) {
    const std::string folder = "C:\\" + std::string(300, 'd') + "\\";
    const struct {
        std::string A, B;
        bool Same;
    } kCases[] = {
        {"C:\\ab\\..\\Tools\\.\\alias.ini", "c:\\TOOLS\\Alias.ini", true},
        {"C:\\\x95\x5C\\alias.ini", "C:\\\x95\x5C\\ALIAS.INI", true},
        {"C:\\\x82\x81\\alias.ini", "C:\\\x82\x60\\alias.ini", true}, // a and A, full width
        {folder + "alias.ini", folder + "ALIAS.INI", true},
        {"C:\\tools\\alias.ini", "C:\\tool\\alias.ini", false},
        {folder + "alias.ini", folder + "other.ini", false},
    };
    for (const auto& c : kCases) {
        const std::string a = DefinitionLockName(c.A);
        EXPECT_LT(a.size(), size_t(MAX_PATH)) << c.A;
        EXPECT_EQ(a == DefinitionLockName(c.B), c.Same) << c.A << " " << c.B;
    }
}

// Every spelling of one existing folder (here its path and its short name) names one lock,
// whatever the spelling's own lock; another folder another. Under Wine no program starts through
// a second spelling, nor does a symbolic link or a mapped drive open (docs/testing.md), so the
// runs that take the lock are not started that way here.
TEST(DefinitionLock, OneFolderOneLockWhateverItsSpelling) {
    ScratchDir dir(CurrentTestName() + " long folder name");
    ScratchDir other(CurrentTestName() + " other");
    const std::string real = dir.Path().substr(0, dir.Path().size() - 1);
    char shortPath[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(real.c_str(), shortPath, MAX_PATH), 0u);
    const std::string lock = DefinitionLockName(dir / "alias.ini");
    const std::string spelling = std::string(shortPath) + "\\alias.ini";
    EXPECT_NE(SpellingLockName(spelling), SpellingLockName(dir / "alias.ini")) << spelling;
    EXPECT_EQ(DefinitionLockName(spelling), lock) << spelling;
    EXPECT_NE(DefinitionLockName(other / "alias.ini"), lock);
}

// The helper takes its alias from its file's long name (LongPath of its own path): started by its
// 8.3 name, it still finds the alias. Wine's CreateProcess hands a program its long name where
// Windows hands on the short one, so the name is checked here, where Wine gives the short one too.
TEST(LongPath, AShortNameGivesTheLongName) {
    ScratchDir dir(CurrentTestName());
    ASSERT_TRUE(WriteFileBytes(dir / "verylonghelpername.exe", "x"));
    char shortPath[MAX_PATH];
    ASSERT_NE(GetShortPathNameA((dir / "verylonghelpername.exe").c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortPath).find('~'), std::string::npos) << shortPath;
    EXPECT_EQ(WideToAnsi(LongPath(AnsiToWide(shortPath))), dir / "verylonghelpername.exe");
}

// A shortage of memory belongs to the work it fell in: a later save that fails for another
// cause is reported as what it is.
TEST(Transaction, AnEarlierShortageOfMemoryIsNoLaterFailuresCause) {
    ScratchDir dir(CurrentTestName());
    ASSERT_TRUE(WriteFileBytes(dir / "alias.ini", "[ed]\r\napp=x\r\n"));
    const TProgramFolder folder(dir.Path(), "");
    TDefinitionTransaction t(folder);
    ASSERT_FALSE(t.Begin(fnRequired));
    NoteOutOfMemory(); // as alias.exe's allocator notes the reserve it lent
    ASSERT_FALSE(t.WriteValue("ed", "dir", "y"));
    ASSERT_TRUE(SetFileAttributesA((dir / "alias.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    const TFailure f = t.Commit();
    SetFileAttributesA((dir / "alias.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(f);
    EXPECT_NE(f.Error, DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(f.Text, "定義ファイル" + dir.Path() + "alias.iniに書き込めません。");
}

// A program folder that cannot be listed (here one that is gone) is no folder without helpers:
// each command that needs the listing fails with its cause and changes nothing. The definition
// file is the Windows folder's, so each command gets as far as the listing.
TEST(HelperFolder, AFolderThatCannotBeListedIsAFailureWithItsCause) {
    ScratchDir win(CurrentTestName());
    const std::string ini = "[ed]\r\napp=x\r\n";
    ASSERT_TRUE(WriteFileBytes(win / "alias.ini", ini));
    const TProgramFolder folder(win / "gone\\", win.Path());
    const struct {
        const char* Command;
        TFailure (*Run)(const TProgramFolder&);
    } kCommands[] = {
        {"/clear", [](const TProgramFolder& f) { return RemoveHelperCommands(f, false); }},
        {"/clear all", ClearAll},
        {"/apply", [](const TProgramFolder& f) { return RebuildHelperCommands(f, false); }},
        {"/check", CheckAliases},
    };
    for (const auto& c : kCommands) {
        const TFailure f = c.Run(folder);
        EXPECT_EQ(f.Text, "フォルダー " + win.Path() + "gone\\ の内容を読み取れません。")
            << c.Command;
        EXPECT_EQ(f.Error, DWORD(ERROR_PATH_NOT_FOUND)) << c.Command;
        EXPECT_EQ(ReadFileBytes(win / "alias.ini"), ini) << c.Command;
    }
}

// A console takes text in chunks, and a chunk never ends between the two halves of a character
// outside the basic plane.
TEST(ConsoleOutput, AChunkNeverSplitsACharacter) {
    const std::wstring pair = L"\U0001F600";
    const struct {
        std::wstring Text;
        size_t Limit, Chunk;
    } kCases[] = {
        {L"abc", 8, 3},
        {std::wstring(7, 'a') + pair, 8, 7},        // the pair would straddle the end
        {std::wstring(6, 'a') + pair + L"b", 8, 8}, // it ends the chunk whole
        {pair + pair, 3, 2},
        {pair, 1, 1}, // no room for a whole one: the half goes alone rather than nothing
    };
    for (const auto& c : kCases)
        EXPECT_EQ(ConsoleChunk(c.Text, 0, c.Limit), c.Chunk) << c.Text.size() << " " << c.Limit;
}

} // namespace

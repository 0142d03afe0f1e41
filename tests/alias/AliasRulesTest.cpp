// The manager's own rules, checked in-process: which names a helper file can carry, the option
// form, how words join into parameters, and the name of the definition lock.
#include <gtest/gtest.h>

#include "Alias.h"
#include "Names.h"
#include "TestSupport.h"
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

TEST(DefinitionLock, NamedByTheFullPathUpperCasedOrByItsHash) {
    EXPECT_EQ(DefinitionLockName("C:\\tools\\alias.ini"), "alias.ini lock:C:/TOOLS/ALIAS.INI");
    EXPECT_EQ(DefinitionLockName("C:\\ab\\..\\Tools\\.\\alias.ini"),
              DefinitionLockName("c:\\TOOLS\\Alias.ini"));
    // A second byte 0x5C stays itself; only separators become "/".
    EXPECT_EQ(DefinitionLockName("C:\\\x95\x5C\\alias.ini"),
              "alias.ini lock:C:/\x95\x5C/ALIAS.INI");
    // A path too long for an object name: its hash, the same for the same file.
    const std::string folder = "C:\\" + std::string(300, 'd') + "\\";
    const std::string name = DefinitionLockName(folder + "alias.ini");
    EXPECT_EQ(name.size(), std::string("alias.ini lock#").size() + 16);
    EXPECT_EQ(name.compare(0, 15, "alias.ini lock#"), 0) << name;
    EXPECT_EQ(DefinitionLockName(folder + "ALIAS.INI"), name);
    EXPECT_NE(DefinitionLockName(folder + "other.ini"), name);
}

} // namespace

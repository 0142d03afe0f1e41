// Rules a helper command follows to stand in for its target: the caller's argument text and
// its escaping for the interpreter, and the program search that never yields the helper itself
// or a folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include "CommandLine.h"
#include "Files.h"
#include "TestSupport.h"

#include <algorithm>
#include <cstdint>

using namespace testing_support;

TEST(CallerArgumentText, FollowsTheProgramTokenAsTheRuntimeReadsIt) {
    const struct {
        const wchar_t* line;
        const wchar_t* text;
    } cases[] = {
        {L"prog a b", L"a b"},
        {L"prog", L""},
        {L"prog   ", L""},
        {L"\"C:\\my dir\\p.exe\"  \"a b\" c", L"\"a b\" c"},
        {L"\"C:\\my dir\\p.exe\"\"x\" y", L"\"x\" y"}, // a quoted token ends at its quote
        {L"C:\\p\"q r\"s t", L"r\"s t"},               // unquoted: the first blank ends it
        {L"\"unterminated a b", L""},
        {L"prog\t\t\"x\"\t", L"\"x\"\t"}, // tabs are blanks; trailing blanks are the caller's
        {L"prog \"\" \\\"q\\\" \"a\\\"b\"", L"\"\" \\\"q\\\" \"a\\\"b\""},
        {L"prog \x01 a", L"\x01 a"}, // only space and tab end the token
        {L"prog\u3000a b", L"b"},    // an ideographic space is no blank
        {L"\"C:\\\u8868\\p.exe\" \u8868\\\"", L"\u8868\\\""},
        {L"p  a  b  ", L"a  b  "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CallerArgumentText(c.line), c.text) << WideToAnsi(c.line);
}

TEST(CallerArgumentText, IsExactlyWhatFollowsTheTokenAndItsBlanks) {
    // Every token form, every run of blanks and texts that start with any character, of any
    // script, unpaired surrogates included: the text is never changed.
    const wchar_t* tokens[] = {L"p", L"p.exe", L"\"p\"", L"\"a b\\c.exe\"", L"C:\\x\\\u8868.exe"};
    const wchar_t* blanks[] = {L" ", L"\t", L"  \t "};
    const std::wstring texts[] = {L"a",
                                  L"\"\"",
                                  L"\"x y\" z ",
                                  L"\\\"q\\\"",
                                  L"\u00a5\" --x",
                                  L"caf\u00e9 \uD55C \U0001F600",
                                  L"\uFF02y z\uFF02",
                                  std::wstring(1, wchar_t(0xD800)) + L"x",
                                  L"%PATH%"};
    for (const wchar_t* t : tokens)
        for (const wchar_t* b : blanks)
            for (const std::wstring& x : texts)
                EXPECT_EQ(CallerArgumentText(t + std::wstring(b) + x), x)
                    << WideToAnsi(t + std::wstring(b) + x);
}

namespace {

// The interpreter's reading of a command line, written from its side: the & | < > that would
// separate commands or redirect, in order. A ^ outside quotes makes the next character text;
// a " opens or closes a quoted stretch, inside which everything is text.
std::wstring LiveOperators(const std::wstring& line) {
    std::wstring live;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const wchar_t c = line[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '^')
            ++i;
        else if (c == '&' || c == '|' || c == '<' || c == '>')
            live += c;
    }
    return live;
}

// The arguments a program's runtime makes of a text (the system's own splitting).
std::vector<std::wstring> Argv(const std::wstring& text) {
    int n = 0;
    wchar_t** argv = CommandLineToArgvW((L"p " + text).c_str(), &n);
    std::vector<std::wstring> args(argv + 1, argv + n);
    LocalFree(argv);
    return args;
}

// What AppendForBatch puts after command, or "refused: " and the argument's spelling.
std::wstring Appended(const std::wstring& command, const std::wstring& text) {
    std::wstring line = command;
    std::wstring_view refused;
    if (!AppendForBatch(line, text, 0, refused))
        return L"refused: " + std::wstring(refused);
    return line.substr(command.size());
}

} // namespace

TEST(AppendForBatch, TheCallersArgumentsAddNoCommandAndReachABatchFileWhole) {
    // Random texts after commands that leave the interpreter in each state: the whole line has
    // exactly the operators of the command alone; after an unquoted command, the text with each
    // "%%cd:~,%" the interpreter's "%" again splits into the caller's arguments, as a program
    // the batch file hands %* to splits it. Refused: an argument holding a quote, or one to quote
    // right after a ^ of the command.
    const wchar_t alphabet[] = L"a &|<>^\"\\%!,\u8868\u00e9";
    const std::wstring commands[] = {L"p.exe  ",       L"\"C:\\a b\\p.exe\" -x ", L"p.exe a&b ",
                                     L"p.exe \"open ", L"p.exe ^\" \"",           L"p.exe x^"};
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        for (size_t n = next() % 12; n > 0; --n)
            text += alphabet[next() % (sizeof alphabet / sizeof *alphabet - 1)];
        for (size_t c = 0; c < std::size(commands); ++c) {
            const std::wstring& command = commands[c];
            std::wstring appended = Appended(command, text);
            if (appended.rfind(L"refused: ", 0) == 0) {
                const auto args = Argv(appended.substr(9));
                ASSERT_TRUE(c == 5 ||
                            std::any_of(args.begin(), args.end(),
                                        [](const auto& a) { return a.find('"') != a.npos; }))
                    << Printable(WideToAnsi(command + text + L" / " + appended));
                continue;
            }
            ASSERT_EQ(LiveOperators(command + appended), LiveOperators(command))
                << WideToAnsi(command + appended);
            for (size_t at = 0; (at = appended.find(L"%%cd:~,%", at)) != appended.npos; ++at)
                appended.erase(at + 1, 7);
            if (c < 3) {
                ASSERT_EQ(Argv(appended), Argv(text)) << WideToAnsi(command + appended);
            }
        }
    }
}

TEST(AppendForBatch, EachArgumentIsQuotedWhereItMeansSomething) {
    const struct {
        const wchar_t *Command, *Text, *Appended;
    } cases[] = {
        {L"p ", L"x&echo INJECTED", L"\"x&echo\" INJECTED"},
        {L"p ", L"\"a b\" %PATH% \"\" !x!", L"\"a b\" \"%%cd:~,%PATH%%cd:~,%\" \"\" \"!x!\""},
        {L"p ", L"C:\\dir\\ \"C:\\a b\\\\\" a,b;c=d", L"C:\\dir\\ \"C:\\a b\\\\\" \"a,b;c=d\""},
        {L"p \"open ", L"a>b", L"a>b"},
        {L"p ", L"ok a\\\"b", L"refused: a\\\"b"},
        {L"p ^", L"a b&c", L"a \"b&c\""},
        {L"p ^", L"&", L"refused: &"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Appended(c.Command, c.Text), c.Appended) << WideToAnsi(c.Text);
}

namespace {

// A stand-in for a helper's own file: a file in this test program's folder, which the
// system's default search order tries first.
class SearchExcept : public ::testing::Test {
  protected:
    ScratchDir dir{CurrentTestName()};
    std::string name, self;
    std::string savedPath, savedCwd;

    void SetUp() override {
        ASSERT_TRUE(dir.Ok());
        name = "zz" + std::to_string(GetCurrentProcessId()) + ".exe";
        self = TestBinDir() + name;
        ASSERT_TRUE(WriteFileBytes(self, "self"));
        for (const char* sub : {"other", "third", "link"})
            ASSERT_TRUE(CreateDirectoryA((dir / sub).c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes(dir / "other\\" + name, "other"));
        ASSERT_TRUE(WriteFileBytes(dir / "third\\" + name, "third"));
        char buf[32768];
        DWORD n = GetEnvironmentVariableA("PATH", buf, sizeof buf);
        savedPath.assign(buf, n);
        n = GetCurrentDirectoryA(sizeof buf, buf);
        savedCwd.assign(buf, n);
    }
    void TearDown() override {
        SetEnvironmentVariableA("PATH", savedPath.c_str());
        SetCurrentDirectoryA(savedCwd.c_str());
        DeleteFileA(self.c_str());
    }
    void Path(const std::string& list) { SetEnvironmentVariableA("PATH", list.c_str()); }
    std::string Found(const std::string& selfSpelling, const std::string& program = "") {
        std::wstring app = AnsiToWide(program.empty() ? name : program);
        const std::wstring other = AnsiToWide(selfSpelling);
        return ResolveProgram(app, other) ? WideToAnsi(app) : "<none>";
    }
};

TEST_F(SearchExcept, TheFirstResultStandsWhenItIsNotTheHelper) {
    Path(dir / "other");
    EXPECT_EQ(Found(dir / "other\\" + name), self); // some other "self": the search is as ever
    EXPECT_EQ(Found(self, "zz-no-such-program.exe"), "<none>");
}

TEST_F(SearchExcept, GoesOnPastTheHelpersOwnFolder) {
    // The program folder first on PATH again, spelled otherwise, and the current directory
    // there as well: each is passed over.
    std::string lowerBin = TestBinDir();
    for (char& c : lowerBin)
        c = char(tolower(static_cast<unsigned char>(c)));
    ASSERT_TRUE(SetCurrentDirectoryA(TestBinDir().c_str()));
    Path(lowerBin + ";" + TestBinDir() + ".\\;;\"" + dir.Path() + "other\";" + dir / "third");
    EXPECT_EQ(Found(self), dir / "other\\" + name);
    // The helper spelled with "." and ".." steps and in another case is still itself.
    EXPECT_EQ(Found(TestBinDir() + "..\\tests\\.\\" + name), dir / "other\\" + name);
    std::string upperSelf = self;
    for (char& c : upperSelf)
        c = char(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(Found(upperSelf), dir / "other\\" + name);
}

TEST_F(SearchExcept, AHardLinkToTheHelperIsTheHelper) {
    ASSERT_TRUE(CreateHardLinkA((dir / "link\\" + name).c_str(), self.c_str(), nullptr));
    Path(dir / "link" + ";" + dir / "third");
    EXPECT_EQ(Found(self), dir / "third\\" + name);
    EXPECT_TRUE(IsSameFile(AnsiToWide(self), AnsiToWide(dir / "link\\" + name)));
    // Equal names only, or a missing file: not the same.
    EXPECT_FALSE(
        IsSameFile(AnsiToWide(dir / "other\\" + name), AnsiToWide(dir / "third\\" + name)));
    EXPECT_FALSE(IsSameFile(AnsiToWide(self), AnsiToWide(dir / "nosuch.exe")));
    DeleteFileA((dir / "link\\" + name).c_str());
}

TEST_F(SearchExcept, AFolderIsNeverTheProgram) {
    // The manager's search (no helper of its own): a folder of the name met first is passed
    // over, and a path names a file or nothing.
    ASSERT_TRUE(DeleteFileA(self.c_str()));
    ASSERT_TRUE(CreateDirectoryA((dir / "link\\" + name).c_str(), nullptr));
    Path(dir / "link" + ";" + dir / "third");
    EXPECT_EQ(Found(""), dir / "third\\" + name);
    EXPECT_EQ(Found("", dir / "link\\" + name), "<none>");
    const std::string third = dir / "third\\" + name;
    EXPECT_EQ(Found("", third.substr(0, third.size() - 4)), third); // ".exe" added
    EXPECT_EQ(Found("", dir / "third\\*.exe"), "<none>");           // no wildcard match
}

TEST_F(SearchExcept, NothingButTheHelperIsNotFound) {
    ASSERT_TRUE(SetCurrentDirectoryA(TestBinDir().c_str()));
    Path(TestBinDir());
    EXPECT_EQ(Found(self), "<none>");
}

} // namespace

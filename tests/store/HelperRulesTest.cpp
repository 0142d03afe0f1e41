// Rules a helper command follows to stand in for its target: the caller's argument text, the
// program search that never yields the helper itself, and the nesting limit.
#include <gtest/gtest.h>

#include <windows.h>

#include "CommandLine.h"
#include "HelperChain.h"
#include "ProgramPaths.h"
#include "TestSupport.h"

using namespace testing_support;

TEST(CallerArgumentText, FollowsTheProgramTokenAsTheRuntimeReadsIt) {
    const struct {
        const char* line;
        const char* text;
    } cases[] = {
        {"prog a b", "a b"},
        {"prog", ""},
        {"prog   ", ""},
        {"\"C:\\my dir\\p.exe\"  \"a b\" c", "\"a b\" c"},
        {"\"C:\\my dir\\p.exe\"\"x\" y", "\"x\" y"}, // a quoted token ends at its quote
        {"C:\\p\"q r\"s t", "r\"s t"},               // unquoted: the first blank ends it
        {"\"unterminated a b", ""},
        {"prog\t\t\"x\"\t", "\"x\"\t"}, // tabs are blanks; trailing blanks are the caller's
        {"prog \"\" \\\"q\\\" \"a\\\"b\"", "\"\" \\\"q\\\" \"a\\\"b\""},
        {"prog \x01 a", "\x01 a"}, // only space and tab end the token
        {"\"C:\\\x95\x5C\\p.exe\" \x95\x5C\\\"", "\x95\x5C\\\""}, // second bytes 0x5C pass
        {"p  a  b  ", "a  b  "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CallerArgumentText(c.line), c.text) << Printable(c.line);
}

TEST(CallerArgumentText, IsExactlyWhatFollowsTheTokenAndItsBlanks) {
    // Every token form, every run of blanks and texts that start with any non-blank byte.
    const char* tokens[] = {"p", "p.exe", "\"p\"", "\"a b\\c.exe\"", "C:\\x\\\x83\x5C.exe"};
    const char* blanks[] = {" ", "\t", "  \t "};
    const char* texts[] = {"a", "\"\"", "\"x y\" z ", "\\\"q\\\"", "\x83\x5C\"", "%PATH%"};
    for (const char* t : tokens)
        for (const char* b : blanks)
            for (const char* x : texts)
                EXPECT_EQ(CallerArgumentText(std::string(t) + b + x), x)
                    << Printable(std::string(t) + b + x);
}

TEST(HelperChain, SixteenHelpersNestAndTheNextOneRefuses) {
    std::string depth, next;
    unsigned started = 0;
    while (NextChainDepth(depth, next)) {
        ASSERT_LT(++started, 100u);
        EXPECT_EQ(next, std::to_string(started));
        depth = next;
    }
    EXPECT_EQ(started, kChainLimit);
    EXPECT_EQ(kChainLimit, 16u);
}

TEST(HelperChain, HandEditedValues) {
    std::string next;
    for (const char* junk : {"", "abc", "3x", "-3", "0x10", " "}) {
        ASSERT_TRUE(NextChainDepth(junk, next)) << junk;
        EXPECT_EQ(next, "1") << junk;
    }
    ASSERT_TRUE(NextChainDepth(" 7\t", next));
    EXPECT_EQ(next, "8");
    ASSERT_TRUE(NextChainDepth("015", next));
    EXPECT_EQ(next, "16");
    for (const char* over : {"16", "17", "160", "99999999999999999999999"})
        EXPECT_FALSE(NextChainDepth(over, next)) << over;
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
    std::string Found(const std::string& selfSpelling) {
        std::string found;
        return SearchProgramFileExcept(name, selfSpelling, found) ? found : "<none>";
    }
};

TEST_F(SearchExcept, TheFirstResultStandsWhenItIsNotTheHelper) {
    Path(dir / "other");
    EXPECT_EQ(Found(dir / "other\\" + name), self); // some other "self": the search is as ever
    std::string found;
    EXPECT_FALSE(SearchProgramFileExcept("zz-no-such-program.exe", self, found));
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
    EXPECT_TRUE(IsSameFile(self, dir / "link\\" + name));
    EXPECT_FALSE(IsSameFile(dir / "other\\" + name, dir / "third\\" + name)); // equal names only
    EXPECT_FALSE(IsSameFile(self, dir / "nosuch.exe"));
    DeleteFileA((dir / "link\\" + name).c_str());
}

TEST_F(SearchExcept, NothingButTheHelperIsNotFound) {
    ASSERT_TRUE(SetCurrentDirectoryA(TestBinDir().c_str()));
    Path(TestBinDir());
    EXPECT_EQ(Found(self), "<none>");
}

} // namespace

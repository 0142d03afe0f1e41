// Registering aliases with the real alias.exe, each test in a program folder of
// its own.
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

const char kEol[] = "\r\n";

class Register : public AliasFolderTest {
  protected:
    std::string winDir;

    void SetUp() override {
        AliasFolderTest::SetUp();
        char buf[MAX_PATH];
        GetWindowsDirectoryA(buf, MAX_PATH);
        winDir = buf;
    }
    std::string Template(const char* name) { return ReadFileBytes(dir / name); }
};

std::string Section(const std::string& name, const std::string& type, const std::string& app,
                    const std::string& param) {
    return "[" + name + "]\r\ntype=" + type + "\r\napp=" + app + "\r\nparam=" + param +
           "\r\ndir=\r\n\r\n";
}

TEST_F(Register, WindowedProgramGetsTheWindowedTemplate) {
    SetIni("\r\n");
    const std::string notepad = winDir + "\\system32\\notepad.exe";
    ProcResult r = Alias("ed " + notepad + " -n");
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Ini(), "\r\n" + Section("ed", "GUI", notepad, "-n"));
    EXPECT_EQ(ReadFileBytes(dir / "ed.exe"), Template("rudi.ex_"));
}

TEST_F(Register, ConsoleProgramAndNonExecutableGetTheConsoleTemplate) {
    SetIni("");
    const std::string cmd = winDir + "\\system32\\cmd.exe";
    ASSERT_EQ(Alias("c " + cmd).exitCode, 0u);
    ASSERT_TRUE(WriteFileBytes(dir / "tool.bat", "@echo hi\r\n"));
    ASSERT_EQ(Alias("t " + dir.Path() + "tool.bat").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n" + Section("c", "console", cmd, "") +
                         Section("t", "console", dir.Path() + "tool.bat", ""));
    EXPECT_EQ(ReadFileBytes(dir / "c.exe"), Template("dovoz.ex_"));
    EXPECT_EQ(ReadFileBytes(dir / "t.exe"), Template("dovoz.ex_"));
}

TEST_F(Register, ShellBuiltinsInAnyCaseAreDosWithoutSearch) {
    SetIni("");
    ASSERT_EQ(Alias("d dir /w").exitCode, 0u);
    ASSERT_EQ(Alias("e Echo hello").exitCode, 0u);
    EXPECT_EQ(Ini(),
              "\r\n" + Section("d", "DOS", "dir", "/w") + Section("e", "DOS", "Echo", "hello"));
    EXPECT_EQ(ReadFileBytes(dir / "d.exe"), Template("dovoz.ex_"));
}

TEST_F(Register, BareNameIsSearchedAndStoredAsTyped) {
    SetIni("");
    ProcResult r = Alias("n notepad");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Ini(), "\r\n" + Section("n", "GUI", "notepad", ""));
}

TEST_F(Register, ParametersAreJoinedWithQuoting) {
    SetIni("");
    ASSERT_EQ(Alias("d dir \"a b\" c").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n" + Section("d", "DOS", "dir", "\"a b\" c"));
}

TEST_F(Register, MissingProgramChangesNothing) {
    SetIni("x=1\r\n");
    for (const char* prog : {"nosuchprogram", "C:\\nosuchdir\\ed.exe", "C:\\windows"}) {
        ProcResult r = Alias(std::string("ed ") + prog);
        EXPECT_EQ(r.exitCode, 1u) << prog;
        EXPECT_EQ(r.out, std::string("error: 指定されたアプリケーションが見つかりません。") + kEol);
    }
    EXPECT_EQ(Ini(), "x=1\r\n");
    EXPECT_FALSE(PathExists(dir / "ed.exe"));
}

TEST_F(Register, MissingTemplateIsReported) {
    SetIni("");
    ASSERT_TRUE(DeleteFileA((dir / "rudi.ex_").c_str()));
    ProcResult r = Alias("/gui ed anything");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: ヘルパ コマンド テンプレート" + dir.Path() +
                         "rudi.ex_が見つかりません。" + kEol);
    EXPECT_EQ(Ini(), "");
}

TEST_F(Register, GivenKindSkipsTheSearch) {
    SetIni("");
    ASSERT_EQ(Alias("/gui g nosuch").exitCode, 0u);
    ASSERT_EQ(Alias("/CON c nosuch -x").exitCode, 0u);
    ASSERT_EQ(Alias("/dos d nosuch").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n" + Section("g", "GUI", "nosuch", "") +
                         Section("c", "console", "nosuch", "-x") +
                         Section("d", "DOS", "nosuch", ""));
    EXPECT_EQ(ReadFileBytes(dir / "g.exe"), Template("rudi.ex_"));
}

TEST_F(Register, AFileOfTheTargetNameBlocksAnUndefinedAlias) {
    SetIni("");
    ASSERT_TRUE(WriteFileBytes(dir / "ed.exe", "mine"));
    ProcResult r = Alias("/gui ed x");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: 作成するヘルパ コマンド" + dir.Path() +
                         "ed.exeと同名のファイルが存在します。" + kEol);
    EXPECT_EQ(ReadFileBytes(dir / "ed.exe"), "mine");
    EXPECT_EQ(Ini(), "");
}

TEST_F(Register, ReRegistrationReplacesHelperAndMovesSectionToTheEnd) {
    SetIni("[ed]\r\ntype=console\r\napp=old\r\nenv:A=1\r\ndir=C:\\\r\n[other]"
           "\r\napp=x\r\n");
    ASSERT_TRUE(WriteFileBytes(dir / "ed.exe", "old helper"));
    ProcResult r = Alias("ED dir /w");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Ini(), "\r\n[other]\r\napp=x\r\n\r\n" + Section("ED", "DOS", "dir", "/w"));
    EXPECT_EQ(ReadFileBytes(dir / "ed.exe"), Template("dovoz.ex_"));
}

TEST_F(Register, ReservedAndUnsafeNamesAreRefused) {
    SetIni("[alias]\r\neditor=x\r\n");
    const std::string before = Ini();
    for (const char* name : {"ALIAS", "..\\up", "a/b", "c:x", "a<b", "a|b", "a?b", "a*b"}) {
        ProcResult r = Alias(std::string(name) + " dir");
        EXPECT_EQ(r.exitCode, 1u) << name;
        EXPECT_EQ(r.out,
                  std::string("error: ") + name + " の名前で登録することはできません。" + kEol);
    }
    EXPECT_EQ(Ini(), before);
    EXPECT_FALSE(PathExists(dir.Path() + "..\\up.exe"));
}

TEST_F(Register, DoubleByteNameWhoseSecondByteIsBackslashIsAllowed) {
    SetIni("");
    // "表" is 0x95 0x5C in code page 932: the 0x5C is no separator.
    ProcResult r = Alias("表示 dir");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_TRUE(PathExists(dir / "表示.exe"));
    EXPECT_EQ(Ini(), "\r\n" + Section("表示", "DOS", "dir", ""));
}

TEST_F(Register, WithoutDefinitionFileHelperIsCreatedAndNothingWritten) {
    ProcResult r = Alias("d dir");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(PathExists(dir / "d.exe"));
    EXPECT_FALSE(PathExists(dir / "alias.ini"));
}

TEST_F(Register, TheWholeRoadThroughACommandPrompt) {
    SetIni("");
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_gui.exe", dir / "edwin.exe"));
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", dir / "tool.exe"));
    ASSERT_EQ(Alias("ed " + dir.Path() + "edwin.exe -n").exitCode, 0u);
    ASSERT_EQ(Alias("t " + dir.Path() + "tool.exe").exitCode, 0u);
    ASSERT_EQ(Alias("d dir /w").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(dir / "ed.exe"), Template("rudi.ex_"));

    char path[32768];
    GetEnvironmentVariableA("PATH", path, sizeof path);
    RunOptions o;
    o.cwd = dir.Path();
    o.setEnv = {
        {"PATH", dir.Path() + ";" + path}, {"PROBE_OUT", dir / "rec.txt"}, {"PROBE_SLEEP", "3000"}};
    const std::string cmd = winDir + "\\system32\\cmd.exe /c ";
    DWORD start = GetTickCount();
    ProcResult r = RunProcess(cmd + "ed notes.txt", o);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_LT(GetTickCount() - start, 2500u); // the windowed helper does not wait
    for (int i = 0; i < 100 && !PathExists(dir / "rec.txt"); ++i)
        Sleep(50);
    std::string rec = ReadFileBytes(dir / "rec.txt");
    EXPECT_EQ(rec.substr(0, rec.find('\n')), dir.Path() + "edwin.exe -n  notes.txt");

    o.setEnv = {{"PATH", dir.Path() + ";" + path}, {"PROBE_EXIT", "4"}};
    r = RunProcess(cmd + "t x", o);
    EXPECT_EQ(r.exitCode, 4u); // the console helper hands back the exit code
    r = RunProcess(cmd + "d", o);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_NE(r.out.find("alias.ini"), std::string::npos) << Printable(r.out); // dir /w ran
}

} // namespace

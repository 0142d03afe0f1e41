// A helper command stands in for its target: called from a real command prompt, it must start
// exactly the program it names, hand on the caller's arguments as they were written, and never
// start itself or run away in a chain of helpers.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

// Waits up to ms for every process started from folder to end.
bool AllEnded(const std::string& folder, DWORD ms) {
    for (DWORD waited = 0; ProcessesUnder(folder, false) > 0; waited += 100) {
        if (waited >= ms)
            return false;
        Sleep(100);
    }
    return true;
}

// Ends every process under a folder once a time has passed, so that a runaway chain (which
// keeps the test's pipes open and so its run from returning) cannot outlive a failing test.
class Watchdog {
  public:
    Watchdog(const std::string& folder, DWORD ms) : folder_(folder), ms_(ms) {
        thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
    }
    ~Watchdog() {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(stop_);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    static DWORD WINAPI Watch(void* self) {
        auto* w = static_cast<Watchdog*>(self);
        if (WaitForSingleObject(w->stop_, w->ms_) == WAIT_TIMEOUT)
            do
                ProcessesUnder(w->folder_, true);
            while (WaitForSingleObject(w->stop_, 50) == WAIT_TIMEOUT);
        return 0;
    }
    std::string folder_;
    DWORD ms_;
    HANDLE stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread_ = nullptr;
};

class Transparency : public ::testing::Test {
  protected:
    ScratchDir dir{CurrentTestName()};
    std::string probe, comspec, path;
    Watchdog watchdog{dir.Path(), 30000};

    void SetUp() override {
        ASSERT_TRUE(dir.Ok());
        probe = dir / "probe.exe";
        ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", probe));
        char buf[32768];
        GetWindowsDirectoryA(buf, MAX_PATH);
        comspec = std::string(buf) + "\\system32\\cmd.exe";
        DWORD n = GetEnvironmentVariableA("PATH", buf, sizeof buf);
        path = std::string(buf, n);
    }
    // A failing test may leave a runaway chain behind; end it, however many it started.
    void TearDown() override {
        for (int round = 0; round < 50 && ProcessesUnder(dir.Path(), true) > 0; ++round)
            Sleep(50);
        EXPECT_EQ(ProcessesUnder(dir.Path(), false), 0);
    }
    void Ini(const std::string& bytes) { ASSERT_TRUE(WriteFileBytes(dir / "alias.ini", bytes)); }
    void Helper(const std::string& name, bool console = true) {
        ASSERT_TRUE(CopyOneFile(DistDir() + (console ? "dovoz.ex_" : "rudi.ex_"), dir / name));
    }
    RunOptions Options() {
        RunOptions o;
        o.cwd = dir.Path();
        o.setEnv = {{"COMSPEC", comspec}, {"PATH", dir.Path() + ";" + path}};
        o.unsetEnv = {"ORVEX_DEPTH"};
        o.timeoutMs = 20000;
        return o;
    }
    // Runs a batch file of these lines in the scratch folder through the real interpreter.
    ProcResult Batch(const std::string& lines, RunOptions o) {
        EXPECT_TRUE(WriteFileBytes(dir / "t.bat", "@echo off\r\n" + lines));
        return RunProcess(Quote(comspec) + " /c " + Quote(dir / "t.bat"), o);
    }
    ProcResult Batch(const std::string& lines) { return Batch(lines, Options()); }
    // What the probe wrote for PROBE_ARGV: its own file, then its arguments, one a line.
    std::string Argv(const std::string& file) { return ReadFileBytes(dir / file); }
    std::string FirstLine(const std::string& s) { return s.substr(0, s.find('\n')); }
};

TEST_F(Transparency, HostileArgumentsReachTheTargetAsIfTypedForItDirectly) {
    Ini("[p]\r\napp=" + probe + "\r\n");
    Helper("p.exe");
    const std::string cases[] = {
        "\"\"",
        "\"a\\\"b\"",
        "\\\"q\\\"",
        "\"a\tb\"",
        "\"C:\\dir with space\\\\\"",
        "a  b",
        "\"\x95\x5C\" \x83\x5C\\\"x \x83\x5C",
        "\"%PATH%\"",
        "\"a&b\"",
        "x\"y z\" \"\" e\\\"f g\"",
        "\"a\" \"\" ^\"b^\"",
    };
    std::string lines;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string n = std::to_string(i);
        lines += "set PROBE_ARGV=d" + n + ".txt\r\nprobe.exe " + cases[i] + "\r\n";
        lines += "set PROBE_ARGV=h" + n + ".txt\r\np.exe " + cases[i] + "\r\n";
    }
    ProcResult r = Batch(lines);
    ASSERT_EQ(r.exitCode, 0u) << Printable(r.out);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string n = std::to_string(i);
        const std::string direct = Argv("d" + n + ".txt"), helped = Argv("h" + n + ".txt");
        ASSERT_EQ(FirstLine(direct), probe) << cases[i];
        EXPECT_EQ(helped, direct) << Printable(cases[i]) << "\n"
                                  << Printable(helped) << "\n"
                                  << Printable(direct);
    }
}

TEST_F(Transparency, AProgramPathWithABlankIsTakenWhole) {
    // Decoys where the path or the interpreter path would end if cut at their first blank.
    for (const char* sub : {"with space", "my shell"})
        ASSERT_TRUE(CreateDirectoryA((dir / sub).c_str(), nullptr));
    for (const char* copy : {"with space\\my tool.exe", "with.exe", "my shell\\sh.exe", "my.exe"})
        ASSERT_TRUE(CopyOneFile(probe, dir / copy));
    Ini("[t]\r\napp=" + dir.Path() +
        "with space\\my tool\r\nparam=-n\r\n[d]\r\ntype=DOS\r\n"
        "app=echo\r\n[m]\r\napp=" +
        dir.Path() + "with space\\none\r\n");
    Helper("t.exe");
    Helper("d.exe");
    Helper("m.exe");
    RunOptions o = Options();
    o.setEnv.push_back({"PROBE_ARGV", dir / "argv.txt"});
    ProcResult r = RunProcess(Quote(dir / "t.exe") + " \"x y\"", o);
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Argv("argv.txt"), dir / "with space\\my tool.exe\n-n\nx y\n");

    o.setEnv.push_back({"COMSPEC", dir / "my shell\\sh.exe"}); // the later setting wins
    r = RunProcess(Quote(dir / "d.exe") + " z", o);
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Argv("argv.txt"), dir / "my shell\\sh.exe\n/s\n/c\necho   z\n");

    r = RunProcess(Quote(dir / "m.exe"), o); // reported as written, not quoted
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out,
              "error: プログラム " + dir.Path() + "with space\\none.exe が見つかりません。\r\n");
}

TEST_F(Transparency, QuotedTextStaysTextInDosAliases) {
    ASSERT_TRUE(CreateDirectoryA((dir / "my dir").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dir / "my dir\\x.bat", "@echo [%*]\r\n"));
    ASSERT_TRUE(WriteFileBytes(dir / "b.bat", "@echo piped> piped.txt\r\n"));
    Ini("[e]\r\ntype=DOS\r\napp=echo\r\n[xb]\r\ntype=DOS\r\napp=" + dir.Path() +
        "my dir\\x.bat\r\n");
    Helper("e.exe");
    Helper("xb.exe");
    ProcResult r = Batch("e \"a&echo.INJECTED\"\r\ne \"a>pwned.txt\"\r\ne \"a|b\"\r\n"
                         "xb \"a b\" c\r\nxb\r\n");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out,
              "  \"a&echo.INJECTED\"\r\n  \"a>pwned.txt\"\r\n  \"a|b\"\r\n[\"a b\" c]\r\n[]\r\n")
        << Printable(r.out);
    EXPECT_FALSE(PathExists(dir / "pwned.txt"));
    EXPECT_FALSE(PathExists(dir / "piped.txt"));
}

TEST_F(Transparency, AHelperNamedLikeItsProgramStartsTheProgram) {
    // The helper's folder is the current directory and first on PATH: the program is the one
    // further on.
    ASSERT_TRUE(CreateDirectoryA((dir / "bin").c_str(), nullptr));
    ASSERT_TRUE(CopyOneFile(probe, dir / "bin\\selfname.exe"));
    Ini("[selfname]\r\napp=selfname\r\n");
    Helper("selfname.exe");
    RunOptions o = Options();
    o.setEnv.push_back({"PATH", dir.Path() + ";" + dir.Path() + "bin;" + path});
    o.setEnv.push_back({"PROBE_ARGV", dir / "argv.txt"});
    ProcResult r = Batch("selfname a\r\n", o);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Argv("argv.txt"), dir / "bin\\selfname.exe\na\n");

    // Nothing but itself to start: the usual report.
    DeleteFileA((dir / "bin\\selfname.exe").c_str());
    r = Batch("selfname a\r\n", o);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: プログラム selfname.exe が見つかりません。\r\n");
}

TEST_F(Transparency, AChainOfHelpersEndsAtItsLimit) {
    Ini("[a]\r\napp=b\r\n[b]\r\napp=a\r\n[ga]\r\napp=gb\r\n[gb]\r\napp=ga\r\n[p]\r\napp=" + probe +
        "\r\nenv:ORVEX_DEPTH=0\r\n");
    for (const char* name : {"a.exe", "b.exe", "p.exe"})
        Helper(name);
    ProcResult r = Batch("a x\r\n");
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1u);
    // 16 helpers nest; the seventeenth, an "a" again, refuses.
    EXPECT_EQ(r.out, "error: a の呼び出しが循環しています (ORVEX_DEPTH が 16 に達しました)。\r\n");
    EXPECT_TRUE(AllEnded(dir.Path(), 10000));

    // The windowed build ends at once at every step, so only the chain's end can be awaited.
    Helper("ga.exe", false);
    Helper("gb.exe", false);
    r = RunProcess(Quote(dir / "ga.exe"), Options());
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(AllEnded(dir.Path(), 15000)) << "a windowed chain still runs";

    // The target sees the depth handed on, which the alias's own entries cannot reset.
    RunOptions o = Options();
    o.setEnv.push_back({"PROBE_OUT", dir / "rec.txt"});
    o.setEnv.push_back({"PROBE_VARS", "ORVEX_DEPTH"});
    r = Batch("p.exe\r\n", o);
    EXPECT_EQ(r.exitCode, 0u);
    const std::string rec = ReadFileBytes(dir / "rec.txt");
    EXPECT_NE(rec.find("\nORVEX_DEPTH=1\n"), std::string::npos) << Printable(rec);
    o.setEnv.push_back({"ORVEX_DEPTH", "16"});
    DeleteFileA((dir / "rec.txt").c_str());
    r = Batch("p.exe\r\n", o);
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_FALSE(PathExists(dir / "rec.txt")); // nothing started
}

} // namespace

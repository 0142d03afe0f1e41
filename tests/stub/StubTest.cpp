// Helper commands run as real processes: a template copied to <name>.exe beside a hand-written
// "alias.ini", starting the probe program, which records how it was started.
#include <gtest/gtest.h>

#include "Handle.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

class Stub : public HelperFolderTest {
  protected:
    void SetUp() override {
        HelperFolderTest::SetUp();
        ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_gui.exe", dir / "probegui.exe"));
    }
    ProcResult Run(const std::string& exe, const std::string& args, RunOptions o = RunOptions()) {
        o.setEnv.push_back({"PROBE_OUT", dir / "rec.txt"});
        o.setEnv.push_back({"COMSPEC", comspec});
        if (o.cwd.empty())
            o.cwd = dir.Path();
        return RunProcess(Quote(dir / exe) + (args.empty() ? "" : " " + args), o);
    }
    // The line of the record: 0 command line, 1 current directory, then the variables.
    std::string Rec(size_t line) {
        std::string r = ReadFileBytes(dir / "rec.txt");
        size_t start = 0;
        for (size_t i = 0; i < line; ++i) {
            start = r.find('\n', start);
            if (start == std::string::npos)
                return "<no line>";
            ++start;
        }
        return r.substr(start, r.find('\n', start) - start);
    }
};

TEST_F(Stub, AliasNameComesFromTheFileName) {
    Ini("[ed]\r\napp=" + probe + "\r\nparam=-n\r\n[my.tool]\r\napp=" + probe + "\r\n");
    Helper("ED.EXE");
    ProcResult r = Run("ED.EXE", "a.txt");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Rec(0), probe + " -n  a.txt"); // one space after each piece, arguments bring one
    Helper("my.tool.exe");
    r = Run("my.tool.exe", "");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + "  "); // neither parameters nor arguments
}

TEST_F(Stub, MissingDefinitionIsReported) {
    Helper("ed.exe");
    ProcResult r = Run("ed.exe", "");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: ed の定義が見つかりません。\r\n");
    Ini("[ed]\r\nApp=" + probe + "\r\n[other]\r\napp=x\r\n"); // the key is "app", exactly
    r = Run("ed.exe", "");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: ed の定義が見つかりません。\r\n");
    // A file that is there but cannot be read still holds the definition.
    TFileHandle held(CreateFileA((dir / "alias.ini").c_str(), GENERIC_READ, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    r = Run("ed.exe", "");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: 定義ファイル" + dir / "alias.ini" + "を読み込めません。\r\n");
}

// Runs on its own (see tests/CMakeLists.txt): other tests rely on no "alias.ini" there.
TEST_F(Stub, DefinitionFileBesideTheStubOrInTheWindowsDirectory) {
    char win[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(win, MAX_PATH), 0u);
    const std::string winIni = std::string(win) + "\\alias.ini";
    ASSERT_FALSE(PathExists(winIni)) << "left over from another run";
    ASSERT_TRUE(WriteFileBytes(winIni, "[p]\r\napp=" + probe + "\r\nparam=-win\r\n"));
    Helper("p.exe");
    EXPECT_EQ(Run("p.exe", "").exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + " -win ");
    // A folder of that name beside the stub is no definition file.
    ASSERT_TRUE(CreateDirectoryA((dir / "alias.ini").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dir / "rec.txt", ""));
    EXPECT_EQ(Run("p.exe", "").exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + " -win ");
    RemoveDirectoryA((dir / "alias.ini").c_str());
    Ini("[p]\r\napp=" + probe + "\r\nparam=-beside\r\n");
    EXPECT_EQ(Run("p.exe", "").exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + " -beside ");
    EXPECT_TRUE(DeleteFileA(winIni.c_str()));
}

TEST_F(Stub, ArgumentsAreForwardedByteForByte) {
    Ini("[p]\r\napp=" + probe + "\r\n");
    Helper("p.exe");
    ASSERT_EQ(Run("p.exe", "a \"b c\" d").exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + "   a \"b c\" d");
    ASSERT_EQ(Run("p.exe", "x\"y z\" \"\" e\\\"f g\"").exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + "   x\"y z\" \"\" e\\\"f g\"");
    ASSERT_EQ(Run("p.exe", "\"t\tu\"").exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + "   \"t\tu\"");
    ASSERT_EQ(Run("p.exe", " \t\"a\"  ").exitCode, 0u); // the blanks after the name go
    EXPECT_EQ(Rec(0), probe + "   \"a\"  ");
}

TEST_F(Stub, ExeIsAppendedAndBareNamesAreSearched) {
    Ini("[p]\r\napp=" + dir.Path() + "probe\r\n[q]\r\napp=probe\r\nenv:PATH=" + dir.Path() +
        ";%PATH%\r\n[m]\r\napp=" + dir.Path() + "nosuch\r\n");
    Helper("p.exe");
    ASSERT_EQ(Run("p.exe", "").exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + "  ");
    Helper("q.exe");
    RunOptions o;
    o.cwd = dir.Path() + "..\\"; // found through PATH, which the alias itself extends
    ProcResult r = Run("q.exe", "1", o);
    ASSERT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Rec(0).substr(Rec(0).size() - 2), " 1");
    EXPECT_NE(Rec(0).find(":\\"), std::string::npos); // the full path stands first
    Helper("m.exe");
    r = Run("m.exe", "");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: プログラム " + dir.Path() + "nosuch.exe が見つかりません。\r\n");
    // A folder of the program's name is no program, as registration also says.
    ASSERT_TRUE(CreateDirectoryA((dir / "tool.exe").c_str(), nullptr));
    Ini("[m]\r\napp=" + dir.Path() + "tool\r\n");
    r = Run("m.exe", "");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: プログラム " + dir.Path() + "tool.exe が見つかりません。\r\n");
}

// A bare name means one program wherever the caller stands: the caller's folder is never
// searched, nor a PATH entry relative to it; a path says where, and is taken as it is.
TEST_F(Stub, ABareNameIsNeverTakenFromTheCallersFolder) {
    for (const char* sub : {"planted", "bin"})
        ASSERT_TRUE(CreateDirectoryA((dir / sub).c_str(), nullptr));
    ASSERT_TRUE(CopyOneFile(probe, dir / "planted\\tool.exe"));
    ASSERT_TRUE(CopyOneFile(probe, dir / "bin\\tool.exe"));
    Ini("[t]\r\napp=tool\r\n[r]\r\napp=.\\tool.exe\r\n");
    Helper("t.exe");
    Helper("r.exe");
    char path[32767];
    const std::string system(path, GetEnvironmentVariableA("PATH", path, sizeof path));
    RunOptions o;
    o.cwd = dir / "planted\\";
    o.setEnv = {{"PATH", ".;planted;" + (dir / "bin") + ";" + system}};
    ProcResult r = Run("t.exe", "x", o);
    ASSERT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Rec(0), (dir / "bin\\tool.exe") + "   x");
    ASSERT_TRUE(DeleteFileA((dir / "bin\\tool.exe").c_str()));
    r = Run("t.exe", "x", o);
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: プログラム tool.exe が見つかりません。\r\n");
    r = Run("r.exe", "x", o);
    ASSERT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Rec(0), ".\\tool.exe   x");
}

TEST_F(Stub, EnvironmentEntries) {
    Ini("[p]\r\napp=" + probe + "\r\nenv:A=1\r\nENV:B=%A%-x\r\nenv:GONE=\r\nenv:  =skip\r\n" +
        "env:C=%NOSUCHVAR%\r\nEnv:A=2\r\n");
    Helper("p.exe");
    RunOptions o;
    o.setEnv = {{"PROBE_VARS", "A;B;GONE;C"}, {"GONE", "here"}};
    ASSERT_EQ(Run("p.exe", "", o).exitCode, 0u);
    EXPECT_EQ(Rec(2), "A=2"); // env:A and Env:A are different keys; the later one wins
    EXPECT_EQ(Rec(3), "B=1-x");
    EXPECT_EQ(Rec(4), "GONE=<unset>");
    EXPECT_EQ(Rec(5), "C=%NOSUCHVAR%");
}

TEST_F(Stub, ValuesNoCommandLineOrEnvironmentCanCarryAreReported) {
    // A NUL would cut the command line short; bytes that are no code page 932 text, or an
    // expansion longer than a variable can be, would change the text. Each is one report
    // naming the key, and nothing starts.
    const std::string nul("\0", 1);
    const struct {
        std::string lines, report;
    } cases[] = {
        {"param=-a" + nul + "-b", "p の param の値に使えない文字があります。"},
        {"dir=" + dir.Path() + nul + "x", "p の dir の値に使えない文字があります。"},
        {"env:X=1" + nul + "2", "p の env:X の値に使えない文字があります。"},
        // A report never carries a control byte: a key's NUL shows as a blank.
        {"env:V" + nul + "\x01W=1", "p の env:V  W の値に使えない文字があります。"},
        {"param=\x81", "p の param の値に使えない文字があります。"}, // a lone lead byte
        {"env:BIG=%HALF%%HALF%x", "p の env:BIG を展開した値が長すぎます。"},
    };
    Helper("p.exe");
    RunOptions o;
    o.setEnv = {{"HALF", std::string(16383, 'h')}, {"PROBE_VARS", "BIG"}};
    for (const auto& c : cases) {
        Ini("[p]\r\napp=" + probe + "\r\n" + c.lines + "\r\n");
        DeleteFileA((dir / "rec.txt").c_str());
        const ProcResult r = Run("p.exe", "z", o);
        EXPECT_EQ(r.exitCode, 1u) << Printable(c.lines.substr(0, 30));
        EXPECT_EQ(r.out, "error: " + c.report + "\r\n");
        EXPECT_FALSE(PathExists(dir / "rec.txt"));
    }
    // At the limit the value still goes whole.
    Ini("[p]\r\napp=" + probe + "\r\nenv:BIG=%HALF%%HALF%\r\n");
    ASSERT_EQ(Run("p.exe", "z", o).exitCode, 0u);
    EXPECT_EQ(Rec(2), "BIG=" + std::string(32766, 'h'));
}

TEST_F(Stub, DosAliasesAndBatchFilesRunThroughTheInterpreter) {
    // The probe stands in for the interpreter, so the record shows the composed line; an
    // "env:" entry for COMSPEC reaches the target but doesn't change the interpreter.
    Ini("[d]\r\ntype=msdos\r\napp=echo hi\r\nparam=there\r\nenv:COMSPEC=C:\\nosuch.exe\r\n");
    Helper("d.exe");
    RunOptions o;
    o.setEnv = {{"PROBE_VARS", "COMSPEC"}};
    comspec = probe;
    ProcResult r = Run("d.exe", "you", o);
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Rec(0), probe + " /e:on /v:off /s /c \"\"echo hi\" there  you\"");
    EXPECT_EQ(Rec(2), "COMSPEC=C:\\nosuch.exe");

    // A program that is a batch file runs the same way, always quoted: started as it is, the
    // system would hand it to the interpreter with the caller's text read as commands. A
    // command is quoted where the interpreter would end its name early.
    ASSERT_TRUE(WriteFileBytes(dir / "t.bat", "@echo [%*]\r\n"));
    ASSERT_TRUE(WriteFileBytes(dir / "u.CmD", "@echo [%*]\r\n"));
    const std::string tbat = dir / "t.bat", ucmd = dir / "u.CmD";
    const struct {
        std::string Lines, Args;
        bool Console;
        std::string Line; // after "<interpreter> /e:on /v:off /s /c "
    } cases[] = {
        {"type=DOS\r\napp=dir", "", true, "\"dir  \""},
        {"type=DOS\r\napp=echo", "a&b", true, "\"echo   \"a&b\"\""},
        {"app=" + tbat, "x&echo INJECTED", true, "\"\"" + tbat + "\"   \"x&echo\" INJECTED\""},
        {"app=" + tbat + "\r\nparam=-p", "\"q&q\" a|b", true,
         "\"\"" + tbat + "\" -p  \"q&q\" \"a|b\"\""},
        {"app=" + ucmd + "\r\nwait=on", "a>b", false, "\"\"" + ucmd + "\"   \"a>b\"\""},
        {"type=DOS\r\napp=" + dir.Path() + "R&D\\t.bat", "^", true,
         "\"\"" + dir.Path() + "R&D\\t.bat\"   \"^\"\""},
    };
    for (const auto& c : cases) {
        Ini("[b]\r\n" + c.Lines + "\r\n");
        Helper("b.exe", c.Console);
        DeleteFileA((dir / "rec.txt").c_str());
        r = Run("b.exe", c.Args);
        EXPECT_EQ(r.exitCode, 0u) << c.Lines << Printable(r.out);
        EXPECT_EQ(Rec(0), probe + " /e:on /v:off /s /c " + c.Line) << c.Lines;
    }
    for (const char c : std::string("&|<>^(),;= ")) {
        const std::string app = std::string("a") + c + "b";
        Ini("[b]\r\ntype=DOS\r\napp=" + app + "\r\n");
        Helper("b.exe");
        ASSERT_EQ(Run("b.exe", "").exitCode, 0u);
        EXPECT_EQ(Rec(0), probe + " /e:on /v:off /s /c \"\"" + app + "\"  \"");
    }
}

// Without COMSPEC, or with a bare name there, the system's interpreter runs: a bare "cmd.exe"
// would be looked for first beside the helper, where the helper of an alias named "cmd" is.
TEST_F(Stub, WithoutComspecOrWithABareNameTheSystemsInterpreterRuns) {
    Ini("[d]\r\ntype=DOS\r\napp=echo\r\nparam=hi\r\n[cmd]\r\napp=" + probe + "\r\n");
    Helper("d.exe");
    Helper("cmd.exe");
    for (const char* comspec : {"", "cmd.exe", "CMD"}) {
        RunOptions o;
        o.cwd = dir.Path();
        o.setEnv = {{"PROBE_OUT", dir / "rec.txt"}, {"PATH", dir.Path()}};
        if (*comspec)
            o.setEnv.push_back({"COMSPEC", comspec});
        else
            o.unsetEnv = {"COMSPEC"};
        const ProcResult r = RunProcess(Quote(dir / "d.exe") + " there", o);
        EXPECT_EQ(r.exitCode, 0u) << comspec;
        EXPECT_EQ(r.out, "hi  there\r\n") << comspec << Printable(r.out);
        EXPECT_FALSE(PathExists(dir / "rec.txt")) << comspec;
    }
}

TEST_F(Stub, WorkingDirectory) {
    CreateDirectoryA((dir / "work").c_str(), nullptr);
    Ini("[w]\r\napp=" + probe + "\r\ndir=" + dir.Path() + "work\r\n[f]\r\napp=" + probe +
        "\r\ndir=" + probe + "\r\n[e]\r\napp=" + probe + "\r\n[m]\r\napp=" + probe +
        "\r\ndir=" + dir.Path() + "nosuch\r\n");
    Helper("w.exe");
    ASSERT_EQ(Run("w.exe", "").exitCode, 0u);
    EXPECT_EQ(Rec(1), dir.Path() + "work");
    Helper("f.exe");
    ProcResult r = Run("f.exe", "");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: ディレクトリ " + probe + " が見つかりません。\r\n");
    Helper("m.exe");
    r = Run("m.exe", "");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: ディレクトリ " + dir.Path() + "nosuch が見つかりません。\r\n");
    Helper("e.exe");
    RunOptions o;
    o.cwd = dir.Path() + "work";
    ASSERT_EQ(Run("e.exe", "", o).exitCode, 0u);
    EXPECT_EQ(Rec(1), dir.Path() + "work"); // empty "dir": the stub's own

    // A drive root and a folder written with a trailing "\\" are folders too.
    Ini("[r]\r\napp=" + probe + "\r\ndir=C:\\\r\n[t]\r\napp=" + probe + "\r\ndir=" + dir.Path() +
        "work\\\r\n");
    Helper("r.exe");
    ASSERT_EQ(Run("r.exe", "").exitCode, 0u);
    EXPECT_EQ(Rec(1), "C:\\");
    Helper("t.exe");
    ASSERT_EQ(Run("t.exe", "").exitCode, 0u);
    EXPECT_EQ(Rec(1), dir.Path() + "work");
}

TEST_F(Stub, ConsoleBuildHandsOnTheExitCode) {
    Ini("[p]\r\napp=" + probe + "\r\n");
    Helper("p.exe");
    for (const char* code : {"0", "3", "300", "0xFFFE0005"}) {
        RunOptions o;
        o.setEnv = {{"PROBE_EXIT", code}};
        ProcResult r = Run("p.exe", "", o);
        EXPECT_EQ(r.exitCode, strtoul(code, nullptr, 0)) << code;
    }
}

// A console of the test's own, as a prompt window gives its programs: a Ctrl+C sent to it
// reaches every process on it, this test program too, which counts and swallows it.
class OwnConsole {
  public:
    OwnConsole() {
        for (int i = 0; i < 3; ++i)
            saved_[i] = GetStdHandle(kStd[i]);
        FreeConsole();
        ok_ = AllocConsole() && SetConsoleCtrlHandler(Count, TRUE);
        for (int i = 0; i < 3; ++i) { // keep the test's own output where it went
            console_[i] = GetStdHandle(kStd[i]);
            SetStdHandle(kStd[i], saved_[i]);
        }
        Received = 0;
    }
    ~OwnConsole() {
        // Wine's FreeConsole closes whatever the standard handles are then, so hand it back
        // the console's own. Freeing comes first: an event still on its way must not meet the
        // default handling, which ends the process.
        for (int i = 0; i < 3; ++i)
            SetStdHandle(kStd[i], console_[i]);
        FreeConsole();
        SetConsoleCtrlHandler(Count, FALSE);
        for (int i = 0; i < 3; ++i)
            SetStdHandle(kStd[i], saved_[i]);
    }
    OwnConsole(const OwnConsole&) = delete;
    OwnConsole& operator=(const OwnConsole&) = delete;
    bool Ok() const { return ok_; }
    // Events reach each process on a thread of their own, some time after they were sent.
    static bool WaitForEvents(LONG n) {
        for (int i = 0; i < 500 && Received < n; ++i)
            Sleep(10);
        return Received == n;
    }

  private:
    static constexpr DWORD kStd[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    static BOOL WINAPI Count(DWORD) {
        InterlockedIncrement(&Received);
        return TRUE;
    }
    static inline volatile LONG Received = 0;
    HANDLE saved_[3] = {};
    HANDLE console_[3] = {};
    bool ok_ = false;
};

TEST_F(Stub, CtrlCIsLeftToTheTargetAndTheExitCodeStillComesBack) {
    OwnConsole console;
    ASSERT_TRUE(console.Ok());
    Ini("[p]\r\napp=" + probe + "\r\n");
    Helper("p.exe");
    const std::string readyName = "orvex-test-ready-" + std::to_string(GetCurrentProcessId());
    TKernelHandle ready(CreateEventA(nullptr, FALSE, FALSE, readyName.c_str()));
    ASSERT_TRUE(ready.Valid());

    // Sends Ctrl+C once the probe is up; the probe sleeps far longer than the test waits.
    auto runWithCtrlC = [&](const std::string& exe, bool probeHandles) {
        RunOptions o;
        o.setEnv = {{"PROBE_SLEEP", "20000"}, {"PROBE_EXIT", "5"}, {"PROBE_READY", readyName}};
        if (probeHandles)
            o.setEnv.push_back({"PROBE_CTRLC", "42"});
        o.timeoutMs = 15000;
        bool sent = false;
        o.afterStart = [&] {
            sent = WaitForSingleObject(ready.Get(), 10000) == WAIT_OBJECT_0 &&
                   GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        };
        ProcResult r = Run(exe, "", o);
        EXPECT_TRUE(sent) << exe;
        EXPECT_FALSE(r.timedOut) << exe;
        return r;
    };

    // Through the helper: the probe ends itself with 42, and the helper, still alive, hands
    // that back instead of being ended by the event first.
    ProcResult r = runWithCtrlC("p.exe", true);
    EXPECT_EQ(r.exitCode, 42u) << Printable(r.out);
    EXPECT_TRUE(OwnConsole::WaitForEvents(1));
    // The same with the target in a job that ends with the helper.
    Ini("[p]\r\napp=" + probe + "\r\nkilltarget=on\r\n");
    r = runWithCtrlC("p.exe", true);
    EXPECT_EQ(r.exitCode, 42u) << Printable(r.out);
    EXPECT_TRUE(OwnConsole::WaitForEvents(2));

    // The event does end a program that has no handler of its own, so the helper's survival
    // above is its handler's doing.
    r = runWithCtrlC("probe.exe", false);
    EXPECT_NE(r.exitCode, 5u);
    EXPECT_TRUE(OwnConsole::WaitForEvents(3));
}

TEST_F(Stub, WindowedBuildReturnsAtOnce) {
    Ini("[g]\r\napp=" + dir.Path() + "probegui.exe\r\n");
    Helper("g.exe", false);
    RunOptions o;
    o.setEnv = {{"PROBE_SLEEP", "10000"}, {"PROBE_EXIT", "7"}, {"PROBE_AFTER", dir / "after.txt"}};
    ProcResult r = Run("g.exe", "x", o);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_FALSE(PathExists(dir / "after.txt")); // back while the target still sleeps
    for (int i = 0; i < 100 && !PathExists(dir / "rec.txt"); ++i)
        Sleep(50);
    EXPECT_EQ(Rec(0), dir.Path() + "probegui.exe   x");
}

TEST_F(Stub, WindowedBuildWaitsWhenAsked) {
    // The windowed probe sleeps, then marks that it has ended and exits with 7. (Under Wine the
    // probe of a helper that does not wait holds the test's pipes, which the test waits for
    // two seconds more; the probe sleeps longer than that.)
    RunOptions o;
    o.setEnv = {{"PROBE_SLEEP", "4000"}, {"PROBE_EXIT", "7"}};
    const std::string app = "app=" + dir.Path() + "probegui.exe\r\n";
    Helper("g.exe", false);
    const struct {
        std::string ini;
        DWORD code; // 7: waited for the probe; 0: back at once
    } cases[] = {
        {"[g]\r\n" + app + "wait=on\r\n", 7},
        {"[alias]\r\nwait=ON\r\n[g]\r\n" + app, 7},
        {"[g]\r\n" + app, 0},
        {"[alias]\r\nwait=on\r\n[g]\r\n" + app + "wait=off\r\n", 0},
        {"[g]\r\n" + app + "wait=yes\r\n", 0}, // neither on nor off: [alias] decides
    };
    std::vector<std::string> marks;
    for (const auto& c : cases) {
        Ini(c.ini);
        marks.push_back(dir / ("after" + std::to_string(marks.size()) + ".txt"));
        o.setEnv.push_back({"PROBE_AFTER", marks.back()});
        EXPECT_EQ(Run("g.exe", "", o).exitCode, c.code) << c.ini;
        EXPECT_EQ(PathExists(marks.back()), c.code == 7) << c.ini;
    }
    for (const std::string& mark : marks) // every probe ends before the folder is left
        for (int i = 0; i < 200 && !PathExists(mark); ++i)
            Sleep(50);
    // A console build always waits; the key changes nothing there.
    Ini("[c]\r\napp=" + probe + "\r\nwait=off\r\n");
    Helper("c.exe");
    EXPECT_EQ(Run("c.exe", "", o).exitCode, 7u);
}

TEST_F(Stub, ErrorOutputJoinsStandardOutputWhenSwitchedOn) {
    Ini("[alias]\r\nstderr2stdout=On\r\n[a]\r\napp=" + probe + "\r\n[b]\r\napp=" + probe +
        "\r\nstderr2stdout=off\r\n[c]\r\napp=" + probe + "\r\nstderr2stdout=yes\r\n");
    for (const char* n : {"a", "b", "c"})
        Helper(std::string(n) + ".exe");
    ProcResult a = Run("a.exe", ""), b = Run("b.exe", ""), c = Run("c.exe", "");
    EXPECT_NE(a.out.find("probe stderr"), std::string::npos) << Printable(a.out);
    EXPECT_EQ(b.out.find("probe stderr"), std::string::npos);
    EXPECT_NE(c.out.find("probe stderr"), std::string::npos); // "yes" defers to [alias]
    EXPECT_NE(b.err.find("probe stderr"), std::string::npos);

    // Into a file, through the prompt's redirection: both streams land in it, in order.
    ProcResult f = RunProcess(comspec + " /c a.exe > joined.txt", [&] {
        RunOptions o;
        o.cwd = dir.Path();
        o.setEnv = {{"PROBE_OUT", dir / "rec.txt"}};
        return o;
    }());
    EXPECT_EQ(f.exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(dir / "joined.txt"), "probe stdout\r\nprobe stderr\r\n");

    // Without a default in [alias] (or with "off" there), only "on" joins them.
    Ini("[alias]\r\nstderr2stdout=off\r\n[a]\r\napp=" + probe + "\r\n[c]\r\napp=" + probe +
        "\r\nstderr2stdout=ON\r\n");
    a = Run("a.exe", "");
    c = Run("c.exe", "");
    EXPECT_EQ(a.out, "probe stdout\r\n");
    EXPECT_EQ(a.err, "probe stderr\r\n");
    EXPECT_EQ(c.out, "probe stdout\r\nprobe stderr\r\n");
    Ini("[a]\r\napp=" + probe + "\r\n");
    a = Run("a.exe", "");
    EXPECT_EQ(a.err, "probe stderr\r\n");
}

TEST_F(Stub, StartFailureIsReportedInBothBuilds) {
    ASSERT_TRUE(WriteFileBytes(dir / "bad.exe", "not a program"));
    Ini("[b]\r\napp=" + dir.Path() + "bad.exe\r\n");
    Helper("b.exe");
    ProcResult r = Run("b.exe", "z");
    EXPECT_EQ(r.exitCode, 1u);
    const std::string head =
        "error: プログラム " + dir.Path() + "bad.exe   zの起動に失敗しました。 Code = ";
    EXPECT_EQ(r.out.substr(0, head.size()), head) << Printable(r.out);
    Helper("b.exe", false); // the message box returns at once without a display
    r = Run("b.exe", "z");
    EXPECT_EQ(r.exitCode, 1u);
}

TEST_F(Stub, LongCommandLines) {
    const std::string longParam(40000, 'p');
    Ini("[p]\r\napp=" + probe + "\r\n[q]\r\napp=" + probe + "\r\nparam=" + longParam + "\r\n");
    Helper("p.exe");
    const std::string longArg(30000, 'a'); // no limit of the stub's own below the system's
    ASSERT_EQ(Run("p.exe", longArg).exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + "   " + longArg);
    // Past what the system takes (32,767 characters with the closing zero): reported with its
    // length, nothing started.
    Helper("q.exe");
    DeleteFileA((dir / "rec.txt").c_str());
    ProcResult r = Run("q.exe", "z");
    EXPECT_EQ(r.exitCode, 1u);
    const size_t length = probe.size() + 1 + longParam.size() + 3; // "<probe> <param>  z"
    EXPECT_EQ(r.out,
              "error: コマンド ラインが長すぎます (" + std::to_string(length) + " 文字)。\r\n");
    EXPECT_FALSE(PathExists(dir / "rec.txt"));
}

TEST_F(Stub, PlacedArgumentsGoWhereTheTemplateSays) {
    // A console alias; a DOS alias through the real interpreter, where a placed argument stays
    // text, right after a caret of the template's own too; a "$1" without the switch is text.
    Ini("[g]\r\napp=" + probe +
        "\r\nparam=log $1 --oneline\r\nplaceargs=on\r\n[e]\r\ntype=DOS\r\n" +
        "app=echo\r\nparam=[$1] [^$2]\r\nplaceargs=ON\r\n[s]\r\napp=" + probe +
        "\r\nparam=s/$1/\r\n");
    for (const char* name : {"g.exe", "e.exe", "s.exe"})
        Helper(name);
    EXPECT_EQ(Run("g.exe", "main \"b c\"").exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + " log main --oneline");
    EXPECT_EQ(Run("e.exe", "x&echo INJECTED").out, "[\"x&echo\"] [INJECTED]\r\n");
    // The caret would take the opening quote of "&echo" for text: refused, nothing runs.
    EXPECT_EQ(Run("e.exe", "\"a&b\" &echo").out,
              "error: e には引数 &echo をバッチ ファイルの引数として安全に渡せません。"
              "何も起動しません。\r\n");
    EXPECT_EQ(Run("s.exe", "z").exitCode, 0u);
    EXPECT_EQ(Rec(0), probe + " s/$1/  z");
}

TEST_F(Stub, ThroughARealCommandPrompt) {
    Ini("[ed]\r\napp=" + probe + "\r\nparam=-n\r\n");
    Helper("ed.exe");
    RunOptions o;
    char path[32768];
    GetEnvironmentVariableA("PATH", path, sizeof path);
    o.setEnv = {{"PATH", dir.Path() + ";" + path}, {"PROBE_EXIT", "5"}};
    o.setEnv.push_back({"PROBE_OUT", dir / "rec.txt"});
    o.cwd = dir.Path();
    ProcResult r = RunProcess(comspec + " /c ed a \"b c\"", o);
    EXPECT_EQ(r.exitCode, 5u);
    EXPECT_EQ(Rec(0), probe + " -n  a \"b c\"");
}

} // namespace

namespace {

// The helper is ended from outside once its target is up; the target, which sleeps first,
// records afterwards whether it outlived the helper.
class KillTarget : public Stub {
  protected:
    bool TargetOutlivesTheHelper() {
        const std::string readyName = "orvex-kill-ready-" + std::to_string(GetCurrentProcessId());
        TKernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
        DeleteFileA((dir / "after.txt").c_str());
        const std::string env = "PROBE_OUT=" + (dir / "rec.txt") + '\0' + "PROBE_SLEEP=1500" +
                                '\0' + "PROBE_READY=" + readyName + '\0' +
                                "PROBE_AFTER=" + (dir / "after.txt") + '\0' +
                                "SystemRoot=" + SystemRoot() + '\0' + '\0';
        std::string line = Quote(dir / "k.exe");
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        EXPECT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0,
                                   const_cast<char*>(env.data()), dir.Path().c_str(), &si, &pi));
        TKernelHandle process(pi.hProcess), thread(pi.hThread);
        EXPECT_EQ(WaitForSingleObject(ready.Get(), 10000), WAIT_OBJECT_0);
        EXPECT_TRUE(TerminateProcess(process.Get(), 9));
        WaitForSingleObject(process.Get(), 5000);
        ready.Reset();
        // Well past the target's sleep: it has written its file by now if it still runs.
        for (int i = 0; i < 40 && !PathExists(dir / "after.txt"); ++i)
            Sleep(100);
        return PathExists(dir / "after.txt");
    }
    static std::string SystemRoot() {
        char win[MAX_PATH];
        GetWindowsDirectoryA(win, MAX_PATH);
        return win;
    }
};

TEST_F(KillTarget, OnTheTargetEndsWithTheHelper) {
    Helper("k.exe");
    Ini("[k]\r\napp=" + probe + "\r\nkilltarget=On\r\n");
    EXPECT_FALSE(TargetOutlivesTheHelper());
    Ini("[alias]\r\nkilltarget=on\r\n[k]\r\napp=" + probe + "\r\n");
    EXPECT_FALSE(TargetOutlivesTheHelper());
}

TEST_F(KillTarget, MissingOrOffTheTargetRunsOn) {
    Helper("k.exe");
    Ini("[k]\r\napp=" + probe + "\r\n");
    EXPECT_TRUE(TargetOutlivesTheHelper());
    Ini("[alias]\r\nkilltarget=on\r\n[k]\r\napp=" + probe + "\r\nkilltarget=off\r\n");
    EXPECT_TRUE(TargetOutlivesTheHelper());
}

TEST_F(KillTarget, AWindowedHelperThatWaitsTakesItsTargetAlong) {
    Helper("k.exe", false);
    Ini("[k]\r\napp=" + probe + "\r\nwait=on\r\nkilltarget=on\r\n");
    EXPECT_FALSE(TargetOutlivesTheHelper());
    Ini("[k]\r\napp=" + probe + "\r\nwait=on\r\n");
    EXPECT_TRUE(TargetOutlivesTheHelper());
}

TEST_F(KillTarget, ExitCodeStillComesBack) {
    Ini("[p]\r\napp=" + probe + "\r\nkilltarget=on\r\n");
    Helper("p.exe");
    RunOptions o;
    o.setEnv = {{"PROBE_EXIT", "300"}};
    EXPECT_EQ(Run("p.exe", "", o).exitCode, 300u);
}

} // namespace

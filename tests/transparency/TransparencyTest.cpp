// A helper command stands in for its target: called from a real command prompt, it must start
// exactly the program it names, hand on the caller's arguments as they were written, and never
// start itself or run away in a chain of helpers.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <sstream>

#include "CommandLine.h"
#include "Handle.h"
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
        thread_.Reset(CreateThread(nullptr, 0, Watch, this, 0, nullptr));
    }
    ~Watchdog() {
        SetEvent(stop_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    static DWORD WINAPI Watch(void* self) {
        auto* w = static_cast<Watchdog*>(self);
        if (WaitForSingleObject(w->stop_.Get(), w->ms_) == WAIT_TIMEOUT)
            do
                ProcessesUnder(w->folder_, true);
            while (WaitForSingleObject(w->stop_.Get(), 50) == WAIT_TIMEOUT);
        return 0;
    }
    std::string folder_;
    DWORD ms_;
    TKernelHandle stop_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    TKernelHandle thread_;
};

class Transparency : public HelperFolderTest {
  protected:
    std::string path;
    Watchdog watchdog{dir.Path(), 30000};

    void SetUp() override {
        HelperFolderTest::SetUp();
        char buf[32768];
        DWORD n = GetEnvironmentVariableA("PATH", buf, sizeof buf);
        path = std::string(buf, n);
    }
    // A failing test may leave a runaway chain behind; end it, however many it started.
    void TearDown() override {
        for (int round = 0; round < 50 && ProcessesUnder(dir.Path(), true) > 0; ++round)
            Sleep(50);
        EXPECT_EQ(ProcessesUnder(dir.Path(), false), 0);
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
    EXPECT_EQ(Argv("argv.txt"), dir / "my shell\\sh.exe\n/e:on\n/v:off\n/s\n/c\necho   z\n");

    r = RunProcess(Quote(dir / "m.exe"), o); // reported as written, not quoted
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out,
              "error: プログラム " + dir.Path() + "with space\\none.exe が見つかりません。\r\n");
}

TEST_F(Transparency, QuotedTextStaysTextInDosAliases) {
    // Scripts in folders whose names the interpreter would cut short unquoted ("R", then
    // "D\x.bat" as a command), beside decoys of the shorter names.
    for (const char* sub : {"my dir", "R&D", "x(1)"})
        ASSERT_TRUE(CreateDirectoryA((dir / sub).c_str(), nullptr));
    for (const char* script : {"my dir\\x.bat", "R&D\\x.bat", "x(1)\\x.bat"})
        ASSERT_TRUE(WriteFileBytes(dir / script, "@echo [%*]\r\n"));
    for (const char* decoy : {"my.bat", "R.bat", "x.bat"})
        ASSERT_TRUE(WriteFileBytes(dir / decoy, "@echo decoy\r\n"));
    ASSERT_TRUE(WriteFileBytes(dir / "b.bat", "@echo piped> piped.txt\r\n"));
    Ini("[e]\r\ntype=DOS\r\napp=echo\r\n[xb]\r\ntype=DOS\r\napp=" + dir.Path() +
        "my dir\\x.bat\r\n[amp]\r\ntype=DOS\r\napp=" + dir.Path() +
        "R&D\\x.bat\r\n[xp]\r\ntype=DOS\r\napp=" + dir.Path() + "x(1)\\x.bat\r\n");
    for (const char* helper : {"e.exe", "xb.exe", "amp.exe", "xp.exe"})
        Helper(helper);
    ProcResult r = Batch("e \"a&echo.INJECTED\"\r\ne \"a>pwned.txt\"\r\ne \"a|b\"\r\n"
                         "xb \"a b\" c\r\nxb\r\namp r\r\nxp p\r\n");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out,
              "  \"a&echo.INJECTED\"\r\n  \"a>pwned.txt\"\r\n  \"a|b\"\r\n[\"a b\" c]\r\n[]\r\n"
              "[r]\r\n[p]\r\n")
        << Printable(r.out) << " err: " << Printable(r.err);
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

TEST_F(Transparency, ScriptsRunThroughTheInterpreterThePathFinds) {
    // Stand-ins: the probe under an interpreter's name in a folder on PATH after the program
    // folder, which holds a decoy python.exe: an alias's folder never gives an interpreter. The
    // probe records its own file and its arguments and ends with PROBE_EXIT.
    const std::string bin = dir / "bin\\", scripts = dir / "my & scripts\\";
    for (const std::string& d : {bin, scripts})
        ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr));
    ASSERT_TRUE(CopyOneFile(probe, dir / "python.exe"));
    const struct {
        std::string Lines;    // of the alias's section, its program in scripts
        const char* Present;  // the stand-ins on PATH
        bool Console;         // the helper's build (a windowed one waits)
        const char* Args;     // the caller's
        std::string Expected; // the interpreter's file and arguments, one a line; "": nothing ran
    } rows[] = {
        {"app=" + scripts + "hello.ps1", "pwsh powershell", true, "a \"b c\"",
         bin + "pwsh.exe\n-NoLogo\n-NoProfile\n-ExecutionPolicy\nBypass\n-File\n" + scripts +
             "hello.ps1\na\nb c\n"},
        {"app=" + scripts + "UP.PS1", "powershell", true, "",
         bin + "powershell.exe\n-NoLogo\n-NoProfile\n-ExecutionPolicy\nBypass\n-File\n" + scripts +
             "UP.PS1\n"},
        {"app=" + scripts + "t.py\r\nparam=-v", "py python", true, "x&y",
         bin + "py.exe\n" + scripts + "t.py\n-v\nx&y\n"},
        {"type=GUI\r\napp=" + scripts + "-w.pyw\r\nwait=on", "pythonw", false, "1",
         bin + "pythonw.exe\n" + scripts + "-w.pyw\n1\n"},
        {"app=" + scripts + "t.jar", "java javaw", true, "",
         bin + "java.exe\n-jar\n" + scripts + "t.jar\n"},
        {"type=GUI\r\napp=" + scripts + "t.jar\r\nwait=on", "java javaw", false, "",
         bin + "javaw.exe\n-jar\n" + scripts + "t.jar\n"},
        {"app=" + scripts + "t.py\r\nplaceargs=on\r\nparam=--in $2 -- $1", "py", true, "a b",
         bin + "py.exe\n" + scripts + "t.py\n--in\nb\n--\na\n"},
        {"app=" + scripts + "t.py\r\ninterpreter=" + bin + "own.exe -X utf8", "own py", true, "z",
         bin + "own.exe\n-X\nutf8\n" + scripts + "t.py\nz\n"},
        {"app=" + scripts + "t.py", "", true, "z", ""},
    };
    for (const char* script : {"hello.ps1", "UP.PS1", "t.py", "-w.pyw", "t.jar", "t.VBS"})
        ASSERT_TRUE(WriteFileBytes(scripts + script, "script"));
    RunOptions o = Options();
    o.setEnv.push_back({"PATH", dir.Path() + ";" + bin + ";" + path});
    o.setEnv.push_back({"PROBE_ARGV", dir / "argv.txt"});
    o.setEnv.push_back({"PROBE_EXIT", "7"});
    for (const auto& row : rows) {
        DeleteTree(bin);
        ASSERT_TRUE(CreateDirectoryA(bin.c_str(), nullptr));
        std::istringstream present(row.Present);
        for (std::string name; present >> name;)
            ASSERT_TRUE(CopyOneFile(probe, bin + name + ".exe"));
        DeleteFileA((dir / "argv.txt").c_str());
        Ini("[s]\r\n" + row.Lines + "\r\n");
        Helper("s.exe", row.Console);
        const ProcResult r = RunProcess(Quote(dir / "s.exe") + " " + row.Args, o);
        EXPECT_EQ(Argv("argv.txt"), row.Expected) << row.Lines;
        EXPECT_EQ(r.exitCode, row.Expected.empty() ? 1u : 7u) << row.Lines << Printable(r.out);
        if (row.Expected.empty()) {
            EXPECT_EQ(r.out, "error: s のスクリプト " + scripts +
                                 "t.py を実行するインタプリタ py.exe;python.exe "
                                 "が見つかりません。\r\n");
        }
    }
}

TEST_F(Transparency, HostileArgumentsReachABatchFileAsTextOrNothingStarts) {
    // A batch file that hands its arguments on to the probe, and a DOS alias whose command is the
    // probe: each argument the caller meant for a program reaches the probe as it was meant, or
    // the helper refuses in one line and nothing runs. An argument that runs a command leaves a
    // file behind.
    ASSERT_TRUE(WriteFileBytes(dir / "b.bat", "@\"" + probe + "\" %*\r\n"));
    Ini("[b]\r\napp=" + dir / "b.bat" + "\r\n[d]\r\ntype=DOS\r\napp=" + probe + "\r\n");
    Helper("b.exe");
    Helper("d.exe");
    const struct {
        const wchar_t* Spelled; // for a program
        const char* Meant;      // its arguments, one a line; null: refused
        bool Percent = false;   // Wine's batch files expand %* once more (docs/testing.md)
    } rows[] = {
        {L"x&echo INJECTED>pwned.txt", "x&echo\nINJECTED>pwned.txt\n"},
        {L"\"a|b\" ^c <in.txt (x) a,b;c=d", "a|b\n^c\n<in.txt\n(x)\na,b;c=d\n"},
        {L"\"%PATH%\" !PATH! 100%", "%PATH%\n!PATH!\n100%\n", true},
        {L"\"\" \"C:\\a b\\\\\" \u8868", "\nC:\\a b\\\n\x95\x5C\n"},
        {L"\"a\\\"&echo INJECTED>pwned.txt\"", nullptr},
        {L"ok \"x\"\"y\"", nullptr},
        {L"\"a\nb\"", nullptr},
    };
    RunOptions o = Options();
    o.setEnv.push_back({"PROBE_ARGV", dir / "argv.txt"});
    for (const auto& row : rows)
        for (const char* helper : {"b.exe", "d.exe"}) {
            DeleteFileA((dir / "argv.txt").c_str());
            const ProcResult r = RunProcessW(AnsiToWide(dir / helper) + L" " + row.Spelled, o);
            const std::string argv = Argv("argv.txt");
            if (row.Meant) {
                EXPECT_EQ(r.exitCode, 0u) << helper << Printable(r.out);
                EXPECT_TRUE((row.Percent && helper[0] == 'b') ||
                            argv.substr(argv.find('\n') + 1) == row.Meant)
                    << helper << " " << WideToAnsi(row.Spelled) << "\n"
                    << argv;
            } else {
                EXPECT_EQ(r.exitCode, 1u) << helper;
                EXPECT_EQ(argv, "") << helper << " " << WideToAnsi(row.Spelled);
                EXPECT_NE(r.out.find("安全に渡せません。何も起動しません。\r\n"), std::string::npos)
                    << Printable(r.out);
            }
        }
    EXPECT_FALSE(PathExists(dir / "pwned.txt"));
}

// What a caller that speaks Unicode (CreateProcessW) starts: the probe records its command
// line and variables as UTF-16, exactly as the system hands them over.
class UnicodeCaller : public Transparency {
  protected:
    // The record of PROBE_WIDE: the command line, then NAME=value lines.
    std::vector<std::wstring> WideRecord(const std::string& file) {
        const std::string bytes = ReadFileBytes(dir / file);
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        std::vector<std::wstring> lines;
        for (size_t start = 0; start <= text.size();) {
            size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos)
                end = text.size();
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }
    // Starts line and waits until the probe it leads to has set its event (the windowed
    // helper returns before its target has run); the probe's record then. A start that Wine's
    // 64-bit loader fails (see docs/testing.md) leaves no record: the line is started again.
    std::vector<std::wstring> Recorded(const std::wstring& line, RunOptions o) {
        const std::string ready = "orvex-wide-" + std::to_string(GetCurrentProcessId());
        o.setEnv.push_back({"PROBE_WIDE", dir / "wide.rec"});
        o.setEnv.push_back({"PROBE_READY", ready});
        DWORD waited = WAIT_TIMEOUT;
        for (int attempt = 0; attempt < 3 && waited != WAIT_OBJECT_0; ++attempt) {
            TKernelHandle event(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
            DeleteFileA((dir / "wide.rec").c_str());
            const ProcResult r = RunProcessW(line, o);
            EXPECT_TRUE(r.started);
            waited = WaitForSingleObject(event.Get(), 10000);
        }
        EXPECT_EQ(waited, WAIT_OBJECT_0);
        return WideRecord("wide.rec");
    }
    std::wstring W(const std::string& s) { return AnsiToWide(s); }
};

TEST_F(UnicodeCaller, TextOfAnyScriptReachesTheTargetAsADirectCallGivesIt) {
    // The probe straight, then through a console helper and a windowed helper: the text after the
    // program token is the same every time. (A DOS alias writes each argument again for the
    // interpreter: HostileArgumentsReachABatchFileAsTextOrNothingStarts.)
    Ini("[p]\r\napp=" + probe + "\r\n[w]\r\napp=" + probe + "\r\n[d]\r\ntype=DOS\r\napp=" + probe +
        "\r\n");
    Helper("p.exe");
    Helper("w.exe", false);
    Helper("d.exe");
    const std::wstring texts[] = {
        L"caf\u00e9 \uD55C\uAE00 \U0001F600",
        L"a\u00a5\" --x",
        L"\uFF02y z\uFF02",
        L"\"q q\"",
        L"\u8868\\\" \u30BD",                               // second bytes 0x5C in code page 932
        std::wstring(5000, L'\u00e9'),                      // one argument of 5,000 characters
        std::wstring(1, wchar_t(0xD83D)) + L"x \"\u00a5\"", // an unpaired surrogate
    };
    for (const std::wstring& text : texts) {
        // The text after the program token of the line the probe read.
        auto arguments = [&](const std::string& program) {
            return std::wstring(
                CallerArgumentText(Recorded(W(program) + L" " + text, Options()).at(0)));
        };
        const std::wstring direct = arguments(probe);
        ASSERT_EQ(direct, text);
        for (const char* helper : {"p.exe", "w.exe"})
            EXPECT_EQ(arguments(dir / helper), direct)
                << helper << ": " << Printable(WideToAnsi(text.substr(0, 40)));
    }
}

TEST_F(UnicodeCaller, EnvironmentValuesArriveWhole) {
    // Japanese values, plain and expanded, and a value of the caller's that code page 932
    // cannot hold, passed through an expansion.
    Ini("[e]\r\napp=" + probe +
        "\r\nenv:TITLE=売上表\r\nenv:HOME=C:\\ユーザー\\共有\\表計算\r\n"
        "env:BOTH=%TITLE%-%OUTER%\r\n");
    Helper("e.exe");
    RunOptions o = Options();
    o.setEnvWide = {{L"OUTER", L"caf\u00e9 \U0001F600"}};
    o.setEnv.push_back({"PROBE_VARS", "TITLE;HOME;BOTH"});
    const std::vector<std::wstring> rec = Recorded(W(dir / "e.exe"), o);
    ASSERT_EQ(rec.size(), 4u);
    EXPECT_EQ(rec[1], W("TITLE=売上表"));
    EXPECT_EQ(rec[2], W("HOME=C:\\ユーザー\\共有\\表計算"));
    EXPECT_EQ(rec[3], W("BOTH=売上表-") + L"caf\u00e9 \U0001F600");
}

TEST_F(UnicodeCaller, AProgramsArgumentStaysTextForTheInterpreter) {
    // A program starting a DOS alias (echo) or an alias of a batch file (any case of .bat or
    // .cmd) that prints its arguments: each argument arrives quoted where it holds what the
    // interpreter would read, so nothing runs or is redirected, also where the batch file uses %*.
    ASSERT_TRUE(WriteFileBytes(dir / "t.bat", "@echo [%*]\r\n"));
    ASSERT_TRUE(WriteFileBytes(dir / "u.CMD", "@echo [%*]\r\n"));
    Ini("[e]\r\ntype=DOS\r\napp=echo\r\n[b]\r\napp=" + dir / "t.bat" +
        "\r\n[c]\r\napp=" + dir / "u.CMD" + "\r\n");
    Helper("e.exe");
    Helper("b.exe");
    Helper("c.exe");
    const struct {
        const wchar_t* arg;
        const char* passed; // as the arguments reach the command
    } cases[] = {
        {L"x&echo INJECTED", "\"x&echo\" INJECTED"},
        {L"a|find \"b\"", "\"a|find\" b"},
        {L"a>out.txt", "\"a>out.txt\""},
        {L"a<in.txt", "\"a<in.txt\""},
        {L"a^b", "\"a^b\""},
        {L"\"a&b\"", "\"a&b\""},
        {L"\"a\"&b>c", "\"a&b>c\""},
    };
    ASSERT_TRUE(WriteFileBytes(dir / "in.txt", "input\r\n"));
    for (const auto& c : cases)
        for (const char* helper : {"e.exe", "b.exe", "c.exe"}) {
            const ProcResult r = RunProcessW(W(dir / helper) + L" " + c.arg, Options());
            EXPECT_EQ(r.exitCode, 0u);
            EXPECT_EQ(r.out, helper[0] == 'e' ? "  " + std::string(c.passed) + "\r\n"
                                              : "[" + std::string(c.passed) + "]\r\n")
                << helper << " " << WideToAnsi(c.arg);
        }
    EXPECT_FALSE(PathExists(dir / "out.txt"));
    EXPECT_FALSE(PathExists(dir / "c"));
}

TEST_F(UnicodeCaller, TheManagerRefusesWhatCodePage932CannotHold) {
    for (const char* t : {"alias.exe", "rudi.ex_", "dovoz.ex_"})
        ASSERT_TRUE(CopyOneFile(DistDir() + t, dir / t));
    Ini("[p]\r\napp=" + probe + "\r\n");
    Helper("p.exe");
    // A program that is there, in a folder code page 932 cannot name.
    const std::wstring cafe = W(dir.Path()) + L"Caf\u00e9\\";
    ASSERT_TRUE(CreateDirectoryW(cafe.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(W(probe).c_str(), (cafe + L"q.exe").c_str(), FALSE));
    const auto before = FolderFiles(dir.Path());
    const std::wstring alias = W(dir / "alias.exe") + L" ";
    const std::wstring lines[] = {
        L"caf\u00e9 " + W(probe), L"\uD55C " + W(probe),
        L"q " + cafe + L"q.exe",  L"q " + W(probe) + L" -x \u00a5",
        L"p /param=\U0001F600",   L"p /dir=C:\\Donn\u00e9es",
        L"p /env:A=\u00e9",       L"p /env:\u00e9=1",
        L"p /delenv:\u00e9",      L"/dos q echo \uD55C",
        L"/del \u00e9",
    };
    for (const std::wstring& line : lines) {
        const ProcResult r = RunProcessW(alias + line, Options());
        EXPECT_EQ(r.exitCode, 1u) << WideToAnsi(line);
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << Printable(r.out);
        EXPECT_NE(r.out.find("コード ページ 932 で表せない文字があります。"), std::string::npos)
            << Printable(r.out);
        EXPECT_EQ(FolderFiles(dir.Path()), before) << WideToAnsi(line);
    }
}

TEST_F(UnicodeCaller, AFolderCodePage932CannotNameIsReportedAtStart) {
    const std::wstring folder = W(dir.Path()) + L"Donn\u00e9es\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileW(W(DistDir() + "alias.exe").c_str(), (folder + L"alias.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(W(DistDir() + "dovoz.ex_").c_str(), (folder + L"p.exe").c_str(), FALSE));
    const std::string shown = dir.Path() + "Donn?es\\";
    for (const wchar_t* program : {L"alias.exe", L"p.exe"}) {
        const ProcResult r = RunProcessW(L"\"" + folder + program + L"\" /list", Options());
        EXPECT_EQ(r.exitCode, 1u);
        EXPECT_EQ(r.out, "error: フォルダー " + shown +
                             " の名前にはコード ページ 932 で表せない文字があります。"
                             "ほかのフォルダーに置いてください。\r\n");
    }
}

} // namespace

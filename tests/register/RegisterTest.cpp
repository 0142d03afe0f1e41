// Registering aliases with the real alias.exe, each test in a program folder of
// its own.
#include <gtest/gtest.h>

#include <algorithm>

#include "Handle.h"
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

TEST_F(Register, ProgramsNonExecutablesAndScriptsGetTheTemplateOfTheirKind) {
    SetIni("");
    const std::string cmd = winDir + "\\system32\\cmd.exe";
    ASSERT_EQ(Alias("c " + cmd).exitCode, 0u);
    ASSERT_TRUE(WriteFileBytes(dir / "tool.bat", "@echo hi\r\n"));
    ASSERT_EQ(Alias("t " + dir.Path() + "tool.bat").exitCode, 0u);
    // A script takes its kind from the table, not its bytes ("MZ" here).
    ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "w.PYW"));
    ASSERT_EQ(Alias("w " + dir.Path() + "w.PYW").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n" + Section("c", "console", cmd, "") +
                         Section("t", "console", dir.Path() + "tool.bat", "") +
                         Section("w", "GUI", dir.Path() + "w.PYW", ""));
    EXPECT_EQ(ReadFileBytes(dir / "c.exe"), Template("dovoz.ex_"));
    EXPECT_EQ(ReadFileBytes(dir / "t.exe"), Template("dovoz.ex_"));
    EXPECT_EQ(ReadFileBytes(dir / "w.exe"), Template("rudi.ex_"));
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
    // The alias's own helper, here a windowed one, is passed over as the helper passes it over:
    // the kind is the system's console hostname.exe's.
    ASSERT_EQ(Alias("/gui hostname hostname").exitCode, 0u);
    r = Alias("hostname hostname");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Ini(), "\r\n" + Section("n", "GUI", "notepad", "") +
                         Section("hostname", "console", "hostname", ""));
    EXPECT_EQ(ReadFileBytes(dir / "hostname.exe"), Template("dovoz.ex_"));
}

// The kind comes from the program the helper will start, never from a file of the name in the
// folder registration was typed in.
TEST_F(Register, AProgramPlantedInTheCallersFolderGivesNoKind) {
    SetIni("");
    for (const char* sub : {"planted", "bin"})
        ASSERT_TRUE(CreateDirectoryA((dir / sub).c_str(), nullptr));
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_gui.exe", dir / "planted\\tool.exe"));
    RunOptions o;
    o.cwd = dir / "planted";
    o.setEnv = {{"PATH", dir / "bin"}};
    EXPECT_EQ(Alias("k tool", o).exitCode, 1u);
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", dir / "bin\\tool.exe"));
    ProcResult r = Alias("k tool", o);
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Ini(), "\r\n" + Section("k", "console", "tool", ""));
}

TEST_F(Register, ParametersAreJoinedWithQuoting) {
    SetIni("");
    ASSERT_EQ(Alias("d dir \"a b\" c").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n" + Section("d", "DOS", "dir", "\"a b\" c"));
}

// A word quoted for its "&", "|", "<", ">" or "^" stays quoted: the interpreter a DOS alias
// runs through takes it as text, not as a second command or a redirection.
TEST_F(Register, QuotedSeparatorsStayTextInTheDefinition) {
    SetIni("");
    const std::string words = "\"a&echo.INJECTED\" \"b>pwned.txt\" \"c|d\" \"e^f\" \"<g\" h";
    ASSERT_EQ(Alias("/dos q echo " + words).exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n" + Section("q", "DOS", "echo", words));
    RunOptions o;
    o.cwd = dir.Path();
    ProcResult r = RunProcess(winDir + "\\system32\\cmd.exe /c q", o);
    EXPECT_EQ(r.exitCode, 0u);
    std::string echoed = r.out.substr(0, r.out.find('\r'));
    echoed.erase(echoed.find_last_not_of(' ') + 1);
    EXPECT_EQ(echoed, words) << Printable(r.out);
    EXPECT_EQ(r.out.find("\nINJECTED"), std::string::npos) << Printable(r.out);
    EXPECT_FALSE(PathExists(dir / "pwned.txt"));
}

TEST_F(Register, MissingProgramChangesNothing) {
    SetIni("x=1\r\n");
    ASSERT_TRUE(CreateDirectoryA((dir / "tool.exe").c_str(), nullptr)); // a folder is no program
    for (const std::string& prog :
         {std::string("nosuchprogram"), std::string("C:\\nosuchdir\\ed.exe"), dir / "tool"}) {
        ProcResult r = Alias("ed " + prog);
        EXPECT_EQ(r.exitCode, 1u) << prog;
        EXPECT_EQ(r.out, std::string("error: 指定されたアプリケーションが見つかりません。") + kEol);
    }
    // A program that is there but cannot be read (held by a program that shares nothing) is no
    // missing one: the report says so, with the system's cause.
    const std::string held = dir / "held.exe";
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", held));
    {
        TFileHandle h(
            CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(h.Valid());
        ProcResult r = Alias("ed " + held);
        EXPECT_EQ(r.exitCode, 1u);
        EXPECT_EQ(r.out, "error: プログラム" + held + "を読み込めません。 Code = 32" + kEol);
    }
    // A name whose helper's temporary file would pass the path limit can never get its helper.
    const std::string longName(259 - dir.Path().size() - 4 - 9, 'n');
    EXPECT_EQ(Alias(longName + " " + held).out,
              std::string("error: パラメタに誤りがあります。") + kEol);
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

// A template that is no whole helper (cut short, empty, some other program) is never copied:
// its copies could not start. Registration reports it as a missing template, /apply and
// /update as a helper they could not make.
TEST_F(Register, ADamagedTemplateIsNeverCopied) {
    const std::string whole = Template("dovoz.ex_");
    const std::string damaged[] = {"", whole.substr(0, whole.size() / 2),
                                   ReadFileBytes(TestBinDir() + "probe_con.exe")};
    for (const std::string& bytes : damaged) {
        ASSERT_TRUE(WriteFileBytes(dir / "dovoz.ex_", bytes));
        SetIni("[a]\r\ntype=console\r\napp=x\r\n");
        const auto before = FolderFiles(dir.Path());
        ProcResult r = Alias("/con y x");
        EXPECT_EQ(r.exitCode, 1u) << bytes.size();
        EXPECT_EQ(r.out, "error: ヘルパ コマンド テンプレート" + dir.Path() +
                             "dovoz.ex_が見つかりません。" + kEol)
            << bytes.size();
        EXPECT_EQ(FolderFiles(dir.Path()), before) << bytes.size();
        for (const char* command : {"/apply", "/update"}) {
            r = Alias(command);
            EXPECT_EQ(r.exitCode, 1u) << command << " " << bytes.size();
            EXPECT_EQ(r.out, "error: ヘルパ コマンド" + dir.Path() +
                                 "a.exeの更新に失敗しました。 Code = 11" + kEol)
                << command << " " << bytes.size();
            EXPECT_FALSE(PathExists(dir / "a.exe")) << command << " " << bytes.size();
        }
    }
    ASSERT_TRUE(WriteFileBytes(dir / "dovoz.ex_", whole));
    EXPECT_EQ(Alias("/apply").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(dir / "a.exe"), whole);
}

// Names are aliases as they are file names: two that name one file are one alias, two that
// name different files are two, whatever the locale's sort rules make of them (a half-width and
// a full-width prolonged sound mark, a repeat mark and the character it repeats). Each helper
// starts its own alias's program.
TEST_F(Register, TwoNamesAreOneAliasExactlyWhenTheyAreOneFile) {
    const struct {
        const char* First;
        const char* Second;
        bool OneFile;
    } pairs[] = {
        {"\xB0", "\x81\x5B", false},                     // ｰ and ー
        {"\x82\xA9\x81\x54", "\x82\xA9\x82\xA9", false}, // かゝ and かか
        {"\x82\xA9\x81\x58", "\x82\xA9\x82\xA9", false}, // か々 and かか
        {"a\x81\x5B", "aa", false},                      // aー and aa
        {"\x82\xA9\x81\x5B", "\x82\xA9\x82\xA0", false}, // かー and かあ
        {"ed", "ED", true},
        {"\x82\x81", "\x82\x60", true}, // ａ and Ａ
        {"\xFA\x40", "\x87\x54", true}, // ⅰ and Ⅰ
    };
    for (const auto& p : pairs) {
        const std::string what = Printable(p.First) + " " + Printable(p.Second);
        // What the file system itself says of the two names.
        ASSERT_TRUE(WriteFileBytes(dir.Path() + p.First + ".probe", ""));
        ASSERT_EQ(PathExists(dir.Path() + p.Second + ".probe"), p.OneFile) << what;
        ASSERT_TRUE(DeleteFileA((dir.Path() + p.First + ".probe").c_str()));

        SetIni("");
        ASSERT_EQ(Alias(std::string("/dos ") + p.First + " echo first").exitCode, 0u) << what;
        ProcResult r = Alias(std::string("/dos ") + p.Second + " echo second");
        EXPECT_EQ(r.exitCode, 0u) << what << Printable(r.out);
        size_t sections = 0;
        const std::string ini = Ini();
        for (size_t at = ini.find("\r\n["); at != std::string::npos; at = ini.find("\r\n[", at + 1))
            ++sections;
        EXPECT_EQ(sections, p.OneFile ? 1u : 2u) << what << Printable(ini);
        for (const char* name : {p.First, p.Second}) {
            RunOptions o;
            o.cwd = dir.Path();
            r = RunProcess(Quote(dir.Path() + name + ".exe"), o);
            const std::string says = p.OneFile || name == p.Second ? "second" : "first";
            EXPECT_EQ(r.out.substr(0, r.out.find_first_of(" \r\n")), says)
                << what << " " << Printable(name) << Printable(r.out);
        }
        for (const char* name : {p.First, p.Second})
            DeleteFileA((dir.Path() + name + ".exe").c_str());
    }
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

// Names that are no plain file name of the program folder, or that Windows would change or
// take for a device, are refused by registration and /del, with the folder unchanged.
TEST_F(Register, ReservedAndUnsafeNamesAreRefused) {
    // The rule itself is checked in-process (AliasNames); here, one of each kind end to end.
    SetIni("[alias]\r\neditor=x\r\n");
    for (const char* name : {"alias ", "..\\up", "a|b", "con.txt", " x", "x."}) {
        const auto before = FolderFiles(dir.Path());
        ProcResult r = Alias(Quote(name) + " dir");
        EXPECT_EQ(r.exitCode, 1u) << name;
        EXPECT_EQ(r.out,
                  std::string("error: ") + name + " の名前で登録することはできません。" + kEol);
        r = Alias("/del " + Quote(name));
        EXPECT_EQ(r.exitCode, 1u) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_EQ(FolderFiles(dir.Path()), before) << name;
    }
    EXPECT_FALSE(PathExists(dir.Path() + "..\\up.exe"));
    // Near misses are plain names.
    for (const char* name : {"conx", "x.y"}) {
        ProcResult r = Alias(std::string(name) + " dir");
        EXPECT_EQ(r.exitCode, 0u) << name << Printable(r.out);
        EXPECT_TRUE(PathExists(dir / (std::string(name) + ".exe"))) << name;
    }
}

TEST_F(Register, DoubleByteNameWhoseSecondByteIsBackslashIsAllowed) {
    SetIni("");
    // "表" is 0x95 0x5C in code page 932: the 0x5C is no separator.
    ProcResult r = Alias("表示 dir");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_TRUE(PathExists(dir / "表示.exe"));
    EXPECT_EQ(Ini(), "\r\n" + Section("表示", "DOS", "dir", ""));
}

// A re-registration that fails after its helper was prepared leaves the old helper and the
// definition exactly as they were.
TEST_F(Register, AFailedReRegistrationKeepsTheOldHelper) {
    SetIni("[ed]\r\ntype=GUI\r\napp=old\r\n");
    ASSERT_TRUE(WriteFileBytes(dir / "ed.exe", "old helper"));
    // An open handle without delete sharing keeps the helper from being moved aside.
    TFileHandle h(CreateFileA((dir / "ed.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(h.Valid());
    const auto before = FolderFiles(dir.Path());
    ProcResult r = Alias("ed dir");
    h.Reset();
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: ヘルパ コマンド" + dir.Path() +
                         "ed.exeの作成に失敗しました。 Code = 32" + kEol);
    EXPECT_EQ(FolderFiles(dir.Path()), before);
}

// Each limit of what the system starts, at its edge and one past it (a program path of 259
// characters, a working folder of 258 without its "\\", an env: value of 32,766): past it,
// registration and the options refuse the value, the helper reports it in its own words
// (nothing started) and /check names it.
TEST_F(Register, LimitsAreCheckedWhereTheyAreSetAndWhereTheyBite) {
    const std::string probe = dir / "probe.exe";
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", probe));
    // A path of length characters: a folder under the scratch folder, then name.
    auto longPath = [&](size_t length, const std::string& name) {
        const std::string folder = dir / std::string(length - dir.Path().size() - name.size(), 'd');
        CreateDirectoryA(folder.c_str(), nullptr);
        return folder + name;
    };
    const std::string p259 = longPath(259, "\\probe.exe"), p260 = longPath(260, "\\probe.exe");
    const std::string d258 = longPath(258, ""), d259 = longPath(259, "");
    ASSERT_TRUE(CopyOneFile(probe, p259) && CopyOneFile(probe, p260));
    const struct {
        std::string Lines, Setting, Report; // the helper's report, "" for none
    } cases[] = {
        {"app=" + p259, "t2 " + p259, ""},
        {"app=" + p260, "t2 " + p260, "プログラム " + p260 + " が見つかりません。"},
        {"app=" + probe, "t /dir=" + d258, ""},
        {"app=" + probe + "\r\ndir=" + d259, "t /dir=" + d259,
         "ディレクトリ " + d259 + " が見つかりません。"},
        {"app=" + probe + "\r\nenv:BIG=" + std::string(32766, 'x'), "", ""},
        {"app=" + probe + "\r\nenv:BIG=" + std::string(32767, 'x'), "",
         "t の env:BIG を展開した値が長すぎます。"},
    };
    RunOptions o;
    o.setEnv = {{"PATH", dir.Path()}};
    for (const auto& c : cases) {
        SetIni("[t]\r\n" + c.Lines + "\r\n");
        ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "t.exe"));
        DeleteFileA((dir / "t2.exe").c_str());
        const ProcResult helper = RunProcess(Quote(dir / "t.exe"), o);
        EXPECT_EQ(helper.exitCode, c.Report.empty() ? 0u : 1u) << c.Lines.substr(0, 300);
        EXPECT_EQ(helper.out.rfind("error: ", 0) ? "" : helper.out,
                  c.Report.empty() ? "" : "error: " + c.Report + kEol);
        const std::string line = c.Report.rfind("t の", 0) ? "t の" + c.Report : c.Report;
        EXPECT_EQ(Alias("/check", o).out, c.Report.empty() ? "" : line + kEol);
        const std::string before = Ini();
        const std::string set = c.Setting.empty() ? "" : Alias(c.Setting, o).out;
        EXPECT_EQ(set, c.Setting.empty() || c.Report.empty()
                           ? ""
                           : "error: パラメタに誤りがあります。\r\n");
        EXPECT_TRUE(c.Report.empty() || Ini() == before) << c.Setting;
    }
}

// Runs of alias.exe that change the file take turns: none loses another's definition.
TEST_F(Register, ParallelRegistrationsKeepEveryDefinitionAndHelper) {
    SetIni("");
    std::string expected = "\r\n";
    for (int round = 0; round < 4; ++round) {
        std::vector<std::string> lines;
        for (int i = 0; i < 16; ++i)
            lines.push_back(Quote(dir / "alias.exe") + " /dos r" + std::to_string(round) + "n" +
                            std::to_string(i) + " echo " + std::to_string(i));
        RunOptions o;
        o.cwd = dir.Path();
        const std::vector<ProcResult> results = RunAll(lines, o);
        for (size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].exitCode, 0u) << lines[i] << Printable(results[i].out);
            EXPECT_EQ(results[i].out, "") << lines[i];
        }
        const std::string ini = Ini();
        for (int i = 0; i < 16; ++i) {
            const std::string name = "r" + std::to_string(round) + "n" + std::to_string(i);
            EXPECT_NE(ini.find(Section(name, "DOS", "echo", std::to_string(i))), std::string::npos)
                << name;
            EXPECT_EQ(ReadFileBytes(dir / (name + ".exe")), Template("dovoz.ex_")) << name;
        }
    }
    size_t sections = 0;
    for (size_t p = Ini().find("\r\n["); p != std::string::npos; p = Ini().find("\r\n[", p + 1))
        ++sections;
    EXPECT_EQ(sections, 64u);
}

// A helper started while definitions are being saved always finds its own.
TEST_F(Register, HelpersStartedDuringRegistrationsFindTheirDefinition) {
    SetIni("");
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", dir / "tool.exe"));
    ASSERT_EQ(Alias("t " + dir.Path() + "tool.exe").exitCode, 0u);
    std::vector<std::string> lines;
    for (int i = 0; i < 12; ++i)
        lines.push_back(Quote(dir / "alias.exe") + " /dos p" + std::to_string(i) + " echo");
    for (int i = 0; i < 12; ++i)
        lines.push_back(Quote(dir / "t.exe"));
    RunOptions o;
    o.cwd = dir.Path();
    const std::vector<ProcResult> results = RunAll(lines, o);
    for (size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(results[i].exitCode, 0u) << lines[i] << Printable(results[i].out);
}

// Killing alias.exe at any moment of a registration into a large file leaves alias.ini as
// before or as after, and no helper without its definition.
TEST_F(Register, AKilledRegistrationLeavesTheFileBeforeOrAfter) {
    std::string ini = "\r\n";
    for (int i = 0; i < 2000; ++i)
        ini += Section("a" + std::to_string(i), "DOS", "echo", std::to_string(i));
    SetIni(ini);
    ASSERT_TRUE(WriteFileBytes(dir / "alias.ini.~dead0001.tmp", "left by a killed save"));
    // How long a whole registration takes here, to spread the kills over it.
    DWORD start = GetTickCount();
    ASSERT_EQ(Alias("/dos first echo").exitCode, 0u);
    // Capped, so a loaded machine keeps the test short; the early moments matter most.
    const DWORD span = std::min<DWORD>(GetTickCount() - start + 20, 1500);
    ini = Ini();
    EXPECT_FALSE(PathExists(dir / "alias.ini.~dead0001.tmp")); // removed by the save

    auto tempFiles = [&] {
        size_t n = 0;
        for (const auto& f : FolderFiles(dir.Path()))
            n += f.first.find(".~") != std::string::npos;
        return n;
    };
    srand(12345);
    for (int k = 0; k < 12; ++k) {
        const std::string name = "k" + std::to_string(k);
        const std::string after = ini + Section(name, "DOS", "echo", "x");
        std::string line = Quote(dir / "alias.exe") + " /dos " + name + " echo x";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS,
                                   nullptr, dir.Path().c_str(), &si, &pi));
        Sleep(DWORD(rand()) % span);
        TKernelHandle process(pi.hProcess), thread(pi.hThread);
        TerminateProcess(process.Get(), 9);
        WaitForSingleObject(process.Get(), 10000);

        const std::string now = Ini();
        EXPECT_TRUE(now == ini || now == after) << k << " " << now.size();
        ini = now;
        for (const auto& f : FolderFiles(dir.Path())) {
            const std::string& n = f.first;
            if (n.size() > 4 && n.substr(n.size() - 4) == ".exe" && n != "alias.exe") {
                EXPECT_NE(ini.find("\r\n[" + n.substr(0, n.size() - 4) + "]\r\n"),
                          std::string::npos)
                    << n << " without its definition";
            }
        }
        EXPECT_LE(tempFiles(), 2u) << k; // at most a temporary alias.ini and a prepared helper
    }
    // The next run saves, and removes what killed runs left.
    ASSERT_EQ(Alias("/dos last echo").exitCode, 0u);
    EXPECT_EQ(tempFiles(), 0u);
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
    o.setEnv = {{"PATH", dir.Path() + ";" + path},
                {"PROBE_OUT", dir / "rec.txt"},
                {"PROBE_SLEEP", "10000"},
                {"PROBE_AFTER", dir / "after.txt"}};
    const std::string cmd = winDir + "\\system32\\cmd.exe /c ";
    ProcResult r = RunProcess(cmd + "ed notes.txt", o);
    EXPECT_EQ(r.exitCode, 0u);
    // The windowed helper does not wait: the prompt is back while the target still sleeps.
    EXPECT_FALSE(PathExists(dir / "after.txt"));
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

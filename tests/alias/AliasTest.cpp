// alias.exe as a process: dispatch, options, show, list, where "alias.ini" is found, /edit.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "TestSupport.h"
#include "Handle.h"
#include "Transaction.h"

using namespace testing_support;

namespace {

const std::string kSample = "; my aliases\r\n"
                            "[ed]\r\ntype=GUI\r\napp=C:\\tools\\ed.exe\r\nparam=-n\r\ndir=\r\n"
                            "env:LANG=ja\r\nENV:B=2\r\nenv:=3\r\n;c\r\n"
                            "[d]\r\ntype=DOS\r\napp=dir\r\nparam=/w\r\n"
                            "[alias]\r\neditor=\r\n";

class AliasCmd : public AliasFolderTest {
  protected:
    ProcResult Alias(const std::string& args, RunOptions o = RunOptions(), bool quiet = true) {
        ProcResult r = AliasFolderTest::Alias(args, o);
        if (quiet) {
            EXPECT_EQ(r.err, ""); // alias itself never writes to standard error
        }
        return r;
    }
};

const char kUsageStart[] = "-------------------------------------------------------\r\n \r\n";

TEST_F(AliasCmd, UsageForUnknownSwitches) {
    ProcResult r = Alias("/?");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out.substr(0, sizeof kUsageStart - 1), kUsageStart);
    size_t lines = 0;
    for (char c : r.out)
        lines += c == '\n';
    EXPECT_EQ(lines, 24u);
    EXPECT_NE(
        r.out.find("\r\n    alias /check                    エイリアスの点検 (問題の一覧)\r\n"),
        std::string::npos);
    EXPECT_NE(r.out.find("\r\n    alias <name> /param <param ...> パラメタ指定(複数)\r\n"),
              std::string::npos);
    EXPECT_NE(
        r.out.find("\r\n                                    (all は ini ファイルの定義も削除)\r\n"),
        std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 16), "    alias /?\r\n\r\n");
    for (const char* s : {"/??", "/listx", "/DEL ed", "-x"}) {
        ProcResult o = Alias(s);
        EXPECT_EQ(o.exitCode, 0u) << s;
        EXPECT_EQ(o.out, r.out) << s;
    }
}

TEST_F(AliasCmd, MissingParameters) {
    for (const char* s : {"/del", "/gui ed", "-con", "/DOS a"}) {
        ProcResult r = Alias(s);
        EXPECT_EQ(r.exitCode, 1u) << s;
        EXPECT_EQ(r.out, "error: パラメタが不足しています。\r\n") << s;
    }
}

TEST_F(AliasCmd, ListFormat) {
    SetIni(kSample + "[twelve_bytes]\r\napp=x\r\n[表示]\r\ntype=Windows gui\r\n");
    const std::string expected = "[GUI] ed          C:\\tools\\ed.exe -n\r\n"
                                 "[DOS] d           dir /w\r\n"
                                 "[???] twelve_bytes x\r\n"
                                 "[GUI] 表示        \r\n";
    for (const char* s : {"", "/list", "-LIST", "/List extra"}) {
        ProcResult r = Alias(s);
        EXPECT_EQ(r.exitCode, 0u) << s;
        EXPECT_EQ(r.out, expected) << s << "\n" << Printable(r.out);
    }
}

TEST_F(AliasCmd, ListMarkers) {
    SetIni(
        "[a]\r\ntype=console\r\n[b]\r\ntype=msdos\r\n[c]\r\ntype=win32\r\n[ALIAS]\r\ntype=GUI\r\n");
    EXPECT_EQ(Alias("").out, "[CON] a           \r\n[DOS] b           \r\n[???] c           \r\n");
}

TEST_F(AliasCmd, ListWithoutOrWithEmptyFile) {
    ProcResult r = Alias("");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "");
    SetIni("");
    r = Alias("/list");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
}

TEST_F(AliasCmd, ShowFormat) {
    SetIni(kSample);
    ProcResult r = Alias("ED");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "name:  ED\r\ntype:  GUI\r\npath:  C:\\tools\\ed.exe\r\nparam: -n\r\n"
                     "dir:   \r\nenv:   LANG=ja\r\nenv:   B=2\r\n");
    for (const char* s : {"nosuch", "alias", "ALIAS"}) {
        ProcResult n = Alias(s);
        EXPECT_EQ(n.exitCode, 1u) << s;
        EXPECT_EQ(n.out, "") << s;
    }
    // Stored control bytes show as blanks: an escape sequence could hide what is shown.
    SetIni("[e\x1B[2Jd]\r\napp=a\tb\x07\r\n");
    EXPECT_EQ(Alias("").out, "[???] e [2Jd      a b\r\n");
    // The helper's switches show where the alias sets them, in a fixed order.
    SetIni("[alias]\r\nkilltarget=on\r\n[w]\r\napp=w.exe\r\nwait=On\r\nkilltarget=off\r\n");
    EXPECT_EQ(Alias("w").out, "name:  w\r\ntype:  \r\npath:  w.exe\r\nparam: \r\ndir:   \r\n"
                              "killtarget: off\r\nwait: On\r\n");
    // A script's interpreter as the helper would find it now; the alias's own is stored only
    // while it is set.
    SetIni("[s]\r\napp=s.py\r\n");
    ASSERT_EQ(Alias("s \"/interpreter=C:\\nosuch\\py.exe -X\"").exitCode, 0u);
    EXPECT_EQ(Alias("s").out, "name:  s\r\ntype:  \r\npath:  s.py\r\nparam: \r\ndir:   \r\n"
                              "interpreter: C:\\nosuch\\py.exe -X (見つかりません)\r\n");
    ASSERT_EQ(Alias("s /interpreter=").exitCode, 0u);
    EXPECT_EQ(Ini().find("interpreter"), std::string::npos) << Ini();
}

TEST_F(AliasCmd, OptionsChangeTheirOwnKeysInOrder) {
    SetIni(kSample);
    // /delenv:B takes ENV:B=2 too: the helper applies it, whatever the case of prefix or name.
    ProcResult r = Alias("ed /DIR=C:\\work /env:X=1 /env:X=2 /Path=notepad.exe /delenv:b");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Ini(), "; my aliases\r\n\r\n"
                     "[ed]\r\ntype=GUI\r\napp=notepad.exe\r\nparam=-n\r\ndir=C:\\work\r\n"
                     "env:LANG=ja\r\nenv:=3\r\n;c\r\nenv:X=2\r\n\r\n"
                     "[d]\r\ntype=DOS\r\napp=dir\r\nparam=/w\r\n\r\n"
                     "[alias]\r\neditor=\r\n\r\n");
}

TEST_F(AliasCmd, SwitchOptionsAndParametersThatPlaceTheCallersText) {
    // "off" is stored, so [alias]'s "on" does not win; parameters with a placeholder turn
    // "placeargs" on, unless an option after them says otherwise. After "dir:", "alias <name>"
    // shows the switches in a fixed order.
    SetIni("[alias]\r\nwait=on\r\n[ed]\r\napp=x\r\n");
    const std::string program = " " + Quote(TestBinDir() + "probe_con.exe") + " log ";
    const std::string cases[][3] = {
        {"ed /wait=OFF /killtarget=On /stderr2stdout=on /placeargs=off", "ed",
         "stderr2stdout: on\r\nkilltarget: on\r\nwait: off\r\nplaceargs: off\r\n"},
        {"ed /wait=on /killtarget=off /stderr2stdout=Off /param log $1", "ed",
         "stderr2stdout: off\r\nkilltarget: off\r\nwait: on\r\nplaceargs: on\r\n"},
        {"ed \"/param=$$1 $*\" /placeargs=oFF", "ed",
         "stderr2stdout: off\r\nkilltarget: off\r\nwait: on\r\nplaceargs: off\r\n"},
        {"gl" + program + "$1 --oneline", "gl", "placeargs: on\r\n"},
        {"gm" + program + "$$1 $0 $10", "gm", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(Alias(c[0]).exitCode, 0u) << c[0];
        const std::string shown = Alias(c[1]).out;
        EXPECT_EQ(shown.substr(shown.find("dir:   \r\n") + 9), c[2]) << c[0];
    }
    const std::string before = Ini();
    for (const char* c : {"ed /wait=yes", "ed /placeargs=", "ed /dir=y /killtarget=onn"}) {
        const ProcResult r = Alias(c);
        EXPECT_EQ(r.exitCode, 1u) << c;
        EXPECT_EQ(r.out, "error: パラメタに誤りがあります。\r\n") << c;
        EXPECT_EQ(Ini(), before) << c;
    }
}

TEST_F(AliasCmd, ParamTakesTheRestAsWords) {
    SetIni("[ed]\r\napp=x\r\n");
    EXPECT_EQ(Alias("ed /param -a \"b c\" /x").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n[ed]\r\napp=x\r\nparam=-a \"b c\" /x\r\n\r\n");
    EXPECT_EQ(Alias("ed /param").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n[ed]\r\napp=x\r\nparam=\r\n\r\n");
    EXPECT_EQ(Alias("ed \"/param= y  \"").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n[ed]\r\napp=x\r\nparam=y\r\n\r\n");
}

// A command that changes nothing writes nothing: a hand-edited file keeps its bytes.
TEST_F(AliasCmd, CommandsThatChangeNothingWriteNothing) {
    const std::string hand = "[ed]\r\n app =x\r\ndir=C:\\w\r\n[alias]\r\neditor=e";
    for (const char* s : {"ed /path=", "ed /env:X", "ed /env:=1", "ed /delenv:NOSUCH", "ED /path=x",
                          "ed /dir=C:\\w", "ed /dir=C:\\v /dir=C:\\w", "/del nosuch", "/clear all",
                          "/apply", "/update", "/clear"}) {
        SetIni(hand);
        ProcResult r = Alias(s);
        EXPECT_EQ(r.exitCode, 0u) << s;
        EXPECT_EQ(r.out, "") << s;
        const std::string after = Ini();
        EXPECT_EQ(after, std::string(s) == "/clear all" ? "\r\n[alias]\r\neditor=e\r\n\r\n" : hand)
            << s << "\n"
            << Printable(after);
    }
}

// Every change that cannot be stored is reported with one error line and exit code 1, and
// leaves the folder (alias.ini and helpers) exactly as it was.
TEST_F(AliasCmd, ChangesThatAreNotStoredAreReportedAndChangeNothing) {
    const std::string ini = dir / "alias.ini";
    const std::string missing =
        "error: 定義ファイル" + ini + "がありません。alias /edit で作成してください。\r\n";
    const std::string readOnly = "error: 定義ファイル" + ini + "に書き込めません。 Code = 5\r\n";
    struct Case {
        const char* Setup; // "none": no alias.ini, "ro": read-only, "dir": a folder of that name
        std::string Command, Out;
    } cases[] = {
        {"none", "np notepad", missing},
        {"none", "/dos d dir", missing},
        {"none", "ed /dir=x", missing},
        {"ro", "ed /dir=x", readOnly},
        {"ro", "d dir", readOnly},
        {"ro", "ed C:\\nosuch\\x.exe", "error: 指定されたアプリケーションが見つかりません。\r\n"},
        {"ro", "/dos ed dir", readOnly}, // re-registration: the old helper stays
        {"ro", "/del ed", readOnly},
        {"ro", "/clear all", readOnly},
        {"dir", "ed /dir=x", "error: 定義ファイル" + ini + "を読み込めません。 Code = 5\r\n"},
        {"mark", "ed /param=-x",
         "error: 定義ファイル" + ini +
             "は保存すると先頭がバイト順マークと読まれて内容が変わるため、保存できません。\r\n"},
        {"rw", "nosuch /param=x", "error: nosuch の定義が見つかりません。\r\n"},
        {"rw", "alias /dir=C:\\", "error: alias の名前で登録することはできません。\r\n"},
        {"rw", "ALIAS /param=x", "error: ALIAS の名前で登録することはできません。\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(DeleteTree(ini));
        const std::string setup = c.Setup;
        if (setup == "dir") {
            ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));
        }
        if (setup == "ro" || setup == "rw")
            SetIni(kSample);
        if (setup == "mark") // a lone CR between a UTF-16 mark's bytes, dropped on loading
            SetIni("\xFF\r\xFE\n[ed]\r\napp=notepad\r\n");
        ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "ed.exe"));
        if (setup == "ro") {
            ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        const auto before = FolderFiles(dir.Path());
        ProcResult r = Alias(c.Command);
        EXPECT_EQ(r.exitCode, 1u) << c.Command;
        EXPECT_EQ(r.out, c.Out) << c.Command;
        EXPECT_EQ(FolderFiles(dir.Path()), before) << c.Setup << " " << c.Command;
    }
}

TEST_F(AliasCmd, ALockHeldByAnotherRunIsWaitedForThenReported) {
    SetIni(kSample);
    const std::string before = Ini();
    TKernelHandle m(CreateMutexA(nullptr, TRUE, DefinitionLockName(dir / "alias.ini").c_str()));
    ASSERT_TRUE(m.Valid());
    ProcResult r = Alias("ed /dir=x");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out,
              "error: 定義ファイル" + dir.Path() + "alias.iniは別の alias が使用中です。\r\n");
    EXPECT_EQ(Ini(), before);
    // Released while a run waits: that run goes on.
    RunOptions o;
    o.afterStart = [&m] {
        Sleep(300);
        ReleaseMutex(m.Get());
    };
    r = Alias("ed /dir=y", o);
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_NE(Ini().find("dir=y\r\n"), std::string::npos);
}

// Only another run's lock is "busy": a lock that cannot be made (its name taken by an object
// of another kind) is a file that cannot be worked on.
TEST_F(AliasCmd, ALockThatCannotBeMadeIsNoOtherRunsLock) {
    SetIni(kSample);
    const std::string before = Ini();
    TKernelHandle event(
        CreateEventA(nullptr, TRUE, FALSE, DefinitionLockName(dir / "alias.ini").c_str()));
    ASSERT_TRUE(event.Valid());
    ProcResult r = Alias("ed /dir=x");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out,
              "error: 定義ファイル" + dir.Path() + "alias.iniを読み込めません。 Code = 6\r\n");
    EXPECT_EQ(Ini(), before);
}

TEST_F(AliasCmd, ALockWhoseOwnerEndedWithoutReleasingIsTakenOver) {
    SetIni(kSample);
    TKernelHandle m, probe;
    const std::string name = DefinitionLockName(dir / "alias.ini");
    std::thread owner([&] {
        m.Reset(CreateMutexA(nullptr, TRUE, name.c_str())); // owned, never released
    });
    owner.join();
    ASSERT_TRUE(m.Valid());
    // What alias.exe then meets, seen on a mutex of the same kind.
    std::thread([&] {
        probe.Reset(CreateMutexA(nullptr, TRUE, (name + " probe").c_str()));
    }).join();
    ASSERT_TRUE(probe.Valid());
    EXPECT_EQ(WaitForSingleObject(probe.Get(), 0), DWORD(WAIT_ABANDONED));
    ReleaseMutex(probe.Get());
    ProcResult r = Alias("ed /dir=z");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_NE(Ini().find("dir=z\r\n"), std::string::npos);
}

// No value with CR or LF reaches alias.ini, whichever way it comes in.
TEST_F(AliasCmd, LineBreaksAreRefusedInEveryValue) {
    SetIni(kSample);
    // Every option form is checked in-process (AliasOptions); here each command that takes
    // values, end to end.
    for (const char* c : {"ed \"/param=x\r\n[alias]\r\neditor=evil.exe\"", "\"n\r\nx\" dir",
                          "/dos d \"di\nr\"", "/con d x \"p\r\nq\"", "d dir \"a\nb\""}) {
        const auto before = FolderFiles(dir.Path());
        ProcResult r = Alias(c);
        EXPECT_EQ(r.exitCode, 1u) << Printable(c);
        EXPECT_EQ(r.out, "error: パラメタに誤りがあります。\r\n") << Printable(c);
        EXPECT_EQ(FolderFiles(dir.Path()), before) << Printable(c);
    }
}

TEST_F(AliasCmd, AnInvalidOptionChangesNothing) {
    SetIni(kSample);
    const std::string before = Ini();
    for (const char* s : {"ed /dir=C:\\ /bogus", "ed -dir=C:\\", "ed /dir=C:\\ xyz-x /path"}) {
        ProcResult r = Alias(s);
        EXPECT_EQ(r.exitCode, 1u) << s;
        EXPECT_EQ(r.out, "error: パラメタに誤りがあります。\r\n") << s;
    }
    EXPECT_EQ(Ini(), before);
    EXPECT_EQ(Alias("ed /param /bogus").exitCode, 0u);
}

TEST_F(AliasCmd, QuotedArgumentsOnTheCommandLine) {
    SetIni("[ed]\r\napp=x\r\n");
    EXPECT_EQ(Alias("\"e\"d \"\" /env:\"A=1 2\"").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n[ed]\r\napp=x\r\nenv:A=1 2\r\n\r\n");
}

// Runs on its own (see tests/CMakeLists.txt): other tests rely on no "alias.ini" there.
TEST_F(AliasCmd, DefinitionFileBesideTheProgramWinsOverTheWindowsDirectory) {
    char win[MAX_PATH];
    GetWindowsDirectoryA(win, MAX_PATH);
    const std::string winIni = std::string(win) + "\\alias.ini";
    ASSERT_FALSE(PathExists(winIni)) << "left over from another run";
    ASSERT_TRUE(WriteFileBytes(winIni, "[w]\r\napp=inwin\r\n"));
    ProcResult r = Alias("");
    EXPECT_EQ(r.out, "[???] w           inwin\r\n");
    EXPECT_EQ(Alias("w /dir=x").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(winIni), "\r\n[w]\r\napp=inwin\r\ndir=x\r\n\r\n");
    SetIni("[o]\r\napp=own\r\n");
    r = Alias("");
    EXPECT_EQ(r.out, "[???] o           own\r\n");
    DeleteFileA(winIni.c_str());
}

TEST_F(AliasCmd, JapaneseFolderNames) {
    ScratchDir jp(CurrentTestName() + "_表示フォルダ");
    ASSERT_TRUE(jp.Ok());
    ASSERT_TRUE(CopyOneFile(DistDir() + "alias.exe", jp / "alias.exe"));
    ASSERT_TRUE(WriteFileBytes(jp / "alias.ini", "[ソ]\r\napp=表\r\n"));
    ProcResult r = RunProcess(Quote(jp / "alias.exe"));
    EXPECT_EQ(r.out, "[???] ソ          表\r\n");
    EXPECT_EQ(r.exitCode, 0u);
}

TEST_F(AliasCmd, GarbageDefinitionFileDoesNotCrash) {
    std::string junk;
    for (int i = 0; i < 200000; ++i)
        junk.push_back(char((i * 7919) % 256));
    SetIni(junk);
    EXPECT_LE(Alias("").exitCode, 1u);
    EXPECT_LE(Alias("x").exitCode, 1u);
}

// A large file either works or gives one error line: 50 MB of aliases load, list and change;
// a file whose lines need more memory than a 32-bit program has ends every command with one
// error line and exit code 1, the file as it was.
TEST_F(AliasCmd, LargeFilesWorkOrGiveOneErrorLine) {
    std::string big;
    const int aliases = 700000;
    for (int i = 0; i < aliases; ++i)
        big += "[alias" + std::to_string(i) + "]\r\ntype=console\r\napp=C:\\tools\\p" +
               std::to_string(i) + ".exe\r\nparam=-n\r\ndir=\r\n\r\n";
    ASSERT_GT(big.size(), 50000000u);
    SetIni(big);
    ProcResult r = Alias("/list", RunOptions(), false);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), aliases);
    r = Alias("alias699999 /dir=C:\\w");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Ini().substr(Ini().size() - 12), "dir=C:\\w\r\n\r\n") << "the change is saved";
    big.clear();
    if (sizeof(void*) > 4)
        return; // a 64-bit program does not run out of addresses here

    // /edit ends too, before any editor starts; a probe stands in for Notepad all the same.
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", dir / "notepad.exe"));
    const auto eachCommandEnds = [&](const char* file) {
        for (const char* command : {"/list", "a /dir=x", "/edit"}) {
            r = Alias(command);
            EXPECT_EQ(r.exitCode, 1u) << file << " " << command;
            EXPECT_EQ(r.out, "error: メモリが不足しています。\r\n") << file << " " << command;
        }
    };
    // 100 million short lines: more than 2 GB of model. The load stops with the reserve lent.
    std::string lines = "[a]\nk=1\n";
    lines.resize(lines.size() + (200u << 20), '\n');
    for (size_t i = 8; i < lines.size(); i += 2)
        lines[i] = 'x';
    SetIni(lines);
    std::string().swap(lines);
    const auto before = FolderFiles(dir.Path());
    eachCommandEnds("lines");
    EXPECT_TRUE(FolderFiles(dir.Path()) == before);
    // A file that no block of memory can hold (3.75 GB, sparse: it takes no disk). Its load
    // fails at once, with all memory still free for whatever a command would do next.
    const std::string ini = dir / "alias.ini";
    TFileHandle h(CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(h.Valid());
    LARGE_INTEGER size;
    size.QuadPart = 0xF0000000;
    const bool sized =
        SetFilePointerEx(h.Get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(h.Get()) && h.Close();
    ASSERT_TRUE(sized);
    eachCommandEnds("sparse");
    WIN32_FILE_ATTRIBUTE_DATA after;
    ASSERT_TRUE(GetFileAttributesExA(ini.c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(after.nFileSizeLow, size.LowPart);
    EXPECT_EQ(after.nFileSizeHigh, DWORD(size.HighPart));
    DeleteFileA(ini.c_str());
}

TEST_F(AliasCmd, EditStartsTheEditorOnTheDefinitionFile) {
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", dir / "probe.exe"));
    RunOptions o;
    o.setEnv = {{"PROBE_OUT", dir / "rec.txt"}, {"PROBE_SLEEP", "5000"}};
    SetIni("[alias]\r\neditor=" + dir.Path() + "probe.exe -x\r\n");
    DWORD start = GetTickCount();
    ProcResult r = Alias("/edit", o, false); // the editor inherits the handles and may write
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_LT(GetTickCount() - start, 4000u); // does not wait for the editor
    for (int i = 0; i < 100 && !PathExists(dir / "rec.txt"); ++i)
        Sleep(50);
    std::string rec = ReadFileBytes(dir / "rec.txt");
    EXPECT_EQ(rec.substr(0, rec.find('\n')),
              dir.Path() + "probe.exe -x  " + dir.Path() + "alias.ini");
}

// An editor setting that cannot be started is named in one line, and the file opens in
// Notepad. A probe stands in for Notepad (found beside alias.exe first): a real one would bring
// up Wine's desktop process, which can outlive the test holding its output open.
TEST_F(AliasCmd, EditFallsBackToNotepadAndSaysWhy) {
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", dir / "notepad.exe"));
    SetIni("[alias]\r\neditor=C:\\nosuch\\editor.exe -x\r\n");
    RunOptions o;
    o.setEnv = {{"PROBE_OUT", dir / "rec.txt"}};
    ProcResult r = Alias("/edit", o, false);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(
        r.out.substr(0, r.out.find('\n') + 1),
        "エディタC:\\nosuch\\editor.exe -xを起動できません。notepad.exe で開きます。 Code = 2\r\n");
    for (int i = 0; i < 100 && !PathExists(dir / "rec.txt"); ++i)
        Sleep(50);
    std::string rec = ReadFileBytes(dir / "rec.txt");
    EXPECT_EQ(rec.substr(0, rec.find('\n')), (dir / "notepad.exe   ") + dir.Path() + "alias.ini");
}

// The editor runs on after alias.exe has ended and must hold none of the caller's handles: a
// script reading alias's output would otherwise wait until the editor is closed.
TEST_F(AliasCmd, TheEditorHoldsNoHandleOfTheCaller) {
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_gui.exe", dir / "ed.exe"));
    SetIni("[alias]\r\neditor=" + (dir / "ed.exe") + "\r\n");
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    ASSERT_TRUE(CreatePipe(&read, &write, &sa, 0));
    TKernelHandle readEnd(read), writeEnd(write);
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    const std::string ready = "editor-ready-" + std::to_string(GetCurrentProcessId());
    TKernelHandle event(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
    RunOptions o;
    o.setEnv = {{"PROBE_OUT", dir / "rec.txt"}, {"PROBE_READY", ready}, {"PROBE_SLEEP", "15000"}};
    ProcResult r = Alias("/edit", o); // alias.exe inherits the write end, as any child would
    writeEnd.Reset();
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(WaitForSingleObject(event.Get(), 20000), WAIT_OBJECT_0); // the editor is running
    DWORD avail = 0;
    // With every writer gone the pipe is broken; an editor holding the end keeps it open.
    EXPECT_FALSE(PeekNamedPipe(readEnd.Get(), nullptr, 0, nullptr, &avail, nullptr));
    EXPECT_EQ(ProcessesUnder(dir.Path(), true), 1); // the editor, ended by the test that started it
}

TEST_F(AliasCmd, EditWithoutSettingOrFileUsesNotepadOnThePathBesideTheProgram) {
    // A notepad.exe beside alias.exe is found first, so the probe shows the command line; the
    // one planted in the caller's folder never opens.
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", dir / "notepad.exe"));
    ASSERT_TRUE(CreateDirectoryA((dir / "planted").c_str(), nullptr));
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", dir / "planted\\notepad.exe"));
    RunOptions o;
    o.cwd = dir / "planted";
    o.setEnv = {{"PROBE_OUT", dir / "rec.txt"}};
    ProcResult r = Alias("/edit", o, false);
    EXPECT_EQ(r.exitCode, 0u);
    for (int i = 0; i < 100 && !PathExists(dir / "rec.txt"); ++i)
        Sleep(50);
    std::string rec = ReadFileBytes(dir / "rec.txt");
    EXPECT_EQ(rec.substr(0, rec.find('\n')), (dir / "notepad.exe   ") + dir.Path() + "alias.ini");
    EXPECT_FALSE(PathExists(dir / "alias.ini")); // alias never creates it itself
}

} // namespace

namespace {

TEST(AliasEdit, APathWithABlankIsOneArgument) {
    ScratchDir folder(CurrentTestName() + " with blank");
    ASSERT_TRUE(folder.Ok());
    ASSERT_TRUE(CopyOneFile(DistDir() + "alias.exe", folder / "alias.exe"));
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", folder / "my editor.exe"));
    // The setting is a command and keeps its own quotes and arguments.
    ASSERT_TRUE(WriteFileBytes(folder / "alias.ini",
                               "[alias]\r\neditor=\"" + folder.Path() + "my editor.exe\" -x\r\n"));
    RunOptions o;
    o.setEnv = {{"PROBE_OUT", folder / "rec.txt"}};
    ProcResult r = RunProcess(Quote(folder / "alias.exe") + " /edit", o);
    EXPECT_EQ(r.exitCode, 0u);
    for (int i = 0; i < 100 && !PathExists(folder / "rec.txt"); ++i)
        Sleep(50);
    std::string rec = ReadFileBytes(folder / "rec.txt");
    EXPECT_EQ(rec.substr(0, rec.find('\n')),
              "\"" + folder.Path() + "my editor.exe\" -x  \"" + folder.Path() + "alias.ini\"");
}

TEST(AliasEdit, TheEditorIsFoundAsTheSearchFindsItAndGetsThePathAsText) {
    // A program folder whose name holds "&" and a blank; an unquoted editor path with a blank
    // beside a planted shorter program, and a batch-file editor that hands its arguments on.
    ScratchDir folder(CurrentTestName() + " R&D");
    ASSERT_TRUE(folder.Ok());
    ASSERT_TRUE(CopyOneFile(DistDir() + "alias.exe", folder / "alias.exe"));
    ASSERT_TRUE(CreateDirectoryA((folder / "My Tools").c_str(), nullptr));
    const std::string editor = folder / "My Tools\\ed.exe";
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", editor));
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", folder / "My.exe"));
    ASSERT_TRUE(WriteFileBytes(folder / "ed.cmd", "@\"" + editor + "\" %*\r\n"));
    const std::string expected = editor + "\n-x\n" + folder.Path() + "alias.ini\n";
    for (const std::string& setting : {editor + " -x", folder / "ed.cmd -x"}) {
        ASSERT_TRUE(WriteFileBytes(folder / "alias.ini", "[alias]\r\neditor=" + setting + "\r\n"));
        DeleteFileA((folder / "rec.txt").c_str());
        RunOptions o;
        o.setEnv = {{"PROBE_ARGV", folder / "rec.txt"}};
        const ProcResult r = RunProcess(Quote(folder / "alias.exe") + " /edit", o);
        EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
        std::string rec;
        for (int i = 0; i < 100 && (rec = ReadFileBytes(folder / "rec.txt")).empty(); ++i)
            Sleep(50);
        EXPECT_EQ(rec, expected) << setting;
    }
}

} // namespace

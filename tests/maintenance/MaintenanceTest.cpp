// /del, /clear, /clear all, /apply and /update with the real alias.exe.
#include <gtest/gtest.h>

#include "Handle.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = text.find_first_not_of(' ', at)) != std::string::npos) {
        const size_t end = text.find(' ', at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

class Maintenance : public AliasFolderTest {
  protected:
    std::string Bytes(const char* f) { return ReadFileBytes(dir / f); }
    void Helper(const char* name, const char* templ) {
        ASSERT_TRUE(CopyOneFile(dir / templ, dir / name));
    }
    // Runs alias.exe while the file is open without write or delete sharing, as a running
    // program holds its file: Wine then refuses to delete or write over it, as Windows does.
    // With share 0 it cannot even be read.
    ProcResult AliasWhileHeld(const char* name, const std::string& args,
                              DWORD share = FILE_SHARE_READ) {
        TFileHandle h(CreateFileA((dir / name).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                  0, nullptr));
        EXPECT_TRUE(h.Valid());
        return Alias(args);
    }
};

TEST_F(Maintenance, DelRemovesDefinitionAndHelper) {
    SetIni("[a]\r\napp=x\r\n[b]\r\napp=y\r\n");
    Helper("a.exe", "dovoz.ex_");
    ProcResult r = Alias("/del A");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Ini(), "\r\n[b]\r\napp=y\r\n\r\n");
    EXPECT_FALSE(PathExists(dir / "a.exe"));
}

TEST_F(Maintenance, DelOfUndefinedNameStillDeletesItsFile) {
    SetIni("[b]\r\napp=y\r\n");
    ASSERT_TRUE(WriteFileBytes(dir / "x.exe", "anything"));
    EXPECT_EQ(Alias("/del x").exitCode, 0u);
    EXPECT_FALSE(PathExists(dir / "x.exe"));
    EXPECT_EQ(Alias("/del y").exitCode, 0u); // neither definition nor file
    EXPECT_EQ(Ini(), "[b]\r\napp=y\r\n");    // nothing to remove: not rewritten
}

TEST_F(Maintenance, DelRefusesReservedAndUnsafeNamesSilently) {
    SetIni("[alias]\r\neditor=e\r\n");
    const std::string before = Ini();
    for (const char* n : {"alias", "ALIAS", "..\\scratch", "sub/x", "c:x"}) {
        ProcResult r = Alias(std::string("/del ") + n);
        EXPECT_EQ(r.exitCode, 1u) << n;
        EXPECT_EQ(r.out, "") << n;
    }
    EXPECT_EQ(Ini(), before);
    EXPECT_TRUE(PathExists(dir / "alias.exe"));
}

TEST_F(Maintenance, DelReportsAHelperThatCannotBeDeleted) {
    SetIni("[a]\r\napp=x\r\n");
    Helper("a.exe", "dovoz.ex_");
    ProcResult r = AliasWhileHeld("a.exe", "/del a");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out,
              "error: ヘルパ コマンド" + dir.Path() + "a.exeの削除に失敗しました。 Code = 32\r\n");
    EXPECT_EQ(Ini(), "[a]\r\napp=x\r\n"); // nothing changed: the definition stays too
}

TEST_F(Maintenance, ClearRemovesOnlyHelperCommands) {
    SetIni("[a]\r\napp=x\r\n");
    Helper("a.exe", "dovoz.ex_");
    Helper("CMD.EXE", "rudi.ex_");  // capital extension, a name Wine builds in
    Helper("copy.bin", "rudi.ex_"); // another extension is not
    ASSERT_TRUE(CopyOneFile(DistDir() + "..\\tests\\maintenance_tests.exe", dir / "other.exe"));
    ProcResult r = Alias("/clear");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_FALSE(PathExists(dir / "a.exe"));
    EXPECT_FALSE(PathExists(dir / "CMD.EXE"));
    for (const char* keep : {"copy.bin", "other.exe", "alias.exe", "rudi.ex_", "dovoz.ex_"})
        EXPECT_TRUE(PathExists(dir / keep)) << keep;
    EXPECT_EQ(Ini(), "[a]\r\napp=x\r\n"); // not even rewritten
}

TEST_F(Maintenance, ACopyWithAnotherStringTableIsNeverTakenForAHelper) {
    SetIni("[f]\r\napp=x\r\n");
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "orvex_foreign.exe", dir / "f.exe"));
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "orvex_foreign.exe", dir / "orphan.exe"));
    EXPECT_EQ(Alias("/clear").exitCode, 0u);
    EXPECT_EQ(Alias("/update").exitCode, 0u);
    EXPECT_EQ(Bytes("f.exe"), ReadFileBytes(TestBinDir() + "orvex_foreign.exe"));
    EXPECT_TRUE(PathExists(dir / "orphan.exe"));
}

TEST_F(Maintenance, ClearAllKeepsReservedSectionAndPlainLines) {
    SetIni(";top\r\n[a]\r\napp=x\r\n[alias]\r\neditor=e\r\n[b]\r\napp=y\r\n");
    Helper("a.exe", "dovoz.ex_");
    Helper("b.exe", "rudi.ex_");
    Helper("orphan.exe", "rudi.ex_");
    EXPECT_EQ(Alias("/clear all").exitCode, 0u);
    EXPECT_EQ(Ini(), ";top\r\n\r\n[alias]\r\neditor=e\r\n\r\n");
    for (const char* gone : {"a.exe", "b.exe", "orphan.exe"})
        EXPECT_FALSE(PathExists(dir / gone)) << gone;
}

TEST_F(Maintenance, ClearWithOtherWordOnlyRemovesHelpers) {
    SetIni("[a]\r\napp=x\r\n");
    Helper("a.exe", "dovoz.ex_");
    EXPECT_EQ(Alias("/clear ALL").exitCode, 0u);
    EXPECT_EQ(Ini(), "[a]\r\napp=x\r\n");
    EXPECT_FALSE(PathExists(dir / "a.exe"));
}

// Helpers are told from their own bytes, so names Wine builds in (find, hostname) are no
// exception; a helper cut short (empty included) is damaged and renewed.
TEST_F(Maintenance, ApplyRemovesOrphansAndCreatesMissingOrDamagedHelpers) {
    SetIni("[g]\r\ntype=GUI\r\napp=x\r\n[c]\r\ntype=console\r\napp=y\r\n[k]"
           "\r\napp=z\r\n[hostname]\r\napp=x\r\n[e]\r\napp=x\r\n");
    Helper("find.exe", "dovoz.ex_");
    Helper("c.exe", "rudi.ex_"); // existing helper of another kind stays as it is
    ASSERT_TRUE(WriteFileBytes(dir / "hostname.exe", Bytes("dovoz.ex_").substr(0, 9000)));
    ASSERT_TRUE(WriteFileBytes(dir / "e.exe", ""));
    ProcResult r = Alias("/apply");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_FALSE(PathExists(dir / "find.exe"));
    EXPECT_EQ(Bytes("g.exe"), Bytes("rudi.ex_"));
    EXPECT_EQ(Bytes("c.exe"), Bytes("rudi.ex_"));
    for (const char* f : {"k.exe", "hostname.exe", "e.exe"}) // no type: the console build
        EXPECT_EQ(Bytes(f), Bytes("dovoz.ex_")) << f;
}

TEST_F(Maintenance, UpdateRecreatesAllSoAChangedKindTakesEffect) {
    SetIni("[more]\r\ntype=console\r\napp=y\r\n[keep]\r\napp=y\r\n");
    Helper("more.exe", "rudi.ex_");
    ASSERT_TRUE(WriteFileBytes(dir / "keep.exe", "not a helper"));
    EXPECT_EQ(Alias("/update").exitCode, 0u);
    EXPECT_EQ(Bytes("more.exe"), Bytes("dovoz.ex_"));
    EXPECT_EQ(Bytes("keep.exe"), "not a helper");
}

// A helper in use (here held open without write sharing, as a running program is) cannot be
// renewed: /update says so and the helper is left whole, while the others are renewed.
TEST_F(Maintenance, UpdateReportsAHelperInUseAndKeepsIt) {
    SetIni("[a]\r\ntype=console\r\napp=x\r\n[b]\r\ntype=console\r\napp=y\r\n");
    Helper("a.exe", "rudi.ex_");
    Helper("b.exe", "rudi.ex_");
    ProcResult r = AliasWhileHeld("a.exe", "/update");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out,
              "error: ヘルパ コマンド" + dir.Path() + "a.exeの更新に失敗しました。 Code = 32\r\n");
    EXPECT_EQ(Bytes("a.exe"), Bytes("rudi.ex_"));
    EXPECT_EQ(Bytes("b.exe"), Bytes("dovoz.ex_"));
}

// Each helper that could not be made is named, in the order of the file: none is lost behind
// a later one.
TEST_F(Maintenance, UpdateReportsEveryFailedCopy) {
    SetIni("[a]\r\ntype=GUI\r\napp=x\r\n[b]\r\ntype=GUI\r\napp=y\r\n");
    ASSERT_TRUE(DeleteFileA((dir / "rudi.ex_").c_str()));
    ProcResult r = Alias("/update");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: ヘルパ コマンド" + dir.Path() +
                         "a.exeの更新に失敗しました。 Code = 2\r\n" + "error: ヘルパ コマンド" +
                         dir.Path() + "b.exeの更新に失敗しました。 Code = 2\r\n");
}

TEST_F(Maintenance, WithoutDefinitionFileEveryHelperIsAnOrphan) {
    Helper("a.exe", "dovoz.ex_");
    EXPECT_EQ(Alias("/apply").exitCode, 0u);
    EXPECT_FALSE(PathExists(dir / "a.exe"));
    Helper("b.exe", "dovoz.ex_");
    EXPECT_EQ(Alias("/clear all").exitCode, 0u);
    EXPECT_FALSE(PathExists(dir / "b.exe"));
    Helper("c.exe", "dovoz.ex_");
    EXPECT_EQ(Alias("/del c").exitCode, 0u);
    EXPECT_FALSE(PathExists(dir / "c.exe"));
    EXPECT_FALSE(PathExists(dir / "alias.ini"));
}

// A file whose name code page 932 cannot hold is no alias's helper: the ANSI calls would see
// café.exe as "cafe.exe", the helper of alias cafe. No command takes it for that, nor
// touches it.
TEST_F(Maintenance, AFileNamedOutsideCodePage932IsNoAliasesHelper) {
    const std::wstring cafe = AnsiToWide(dir.Path()) + L"caf\u00e9.exe";
    const struct {
        const char* Command;
        bool Made; // cafe.exe is made
    } cases[] = {
        {"/apply", true},      {"/update", true},    {"/clear", false},
        {"/clear all", false}, {"/del cafe", false},
    };
    for (const auto& c : cases) {
        DeleteFileA((dir / "cafe.exe").c_str());
        SetIni("[cafe]\r\ntype=console\r\napp=x\r\n");
        // The windowed template: taken for cafe's helper, /update would write over it.
        ASSERT_TRUE(CopyFileW(AnsiToWide(dir / "rudi.ex_").c_str(), cafe.c_str(), FALSE));
        const ProcResult r = Alias(c.Command);
        EXPECT_EQ(r.exitCode, 0u) << c.Command;
        EXPECT_EQ(r.out, "") << c.Command << Printable(r.out);
        EXPECT_EQ(Bytes("cafe.exe"), c.Made ? Bytes("dovoz.ex_") : "") << c.Command;
        EXPECT_EQ(PathExists(dir / "cafe.exe"), c.Made) << c.Command;
        TFileHandle h(CreateFileW(cafe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(h.Valid()) << c.Command;
        std::string bytes(Bytes("rudi.ex_").size() + 1, '\0');
        DWORD got = 0;
        ReadFile(h.Get(), &bytes[0], DWORD(bytes.size()), &got, nullptr);
        EXPECT_EQ(bytes.substr(0, got), Bytes("rudi.ex_")) << c.Command;
    }
}

// Hand-edited sections that name no plain file of the program folder are skipped with an error
// line; nothing is written outside the folder or into a sub-folder, and the sound aliases
// still get their helpers.
TEST_F(Maintenance, HostileSectionsNeverReachOutsideTheFolder) {
    ASSERT_TRUE(CreateDirectoryA((dir / "sub").c_str(), nullptr));
    const std::string outside = "..\\" + CurrentTestName() + "_outside";
    const std::string ini = "[" + outside +
                            "]\r\napp=x\r\n[sub\\x]\r\napp=x\r\n[CON]\r\napp=x\r\n"
                            "[ok]\r\ntype=GUI\r\napp=x\r\n[x.]\r\napp=x\r\n[nul.txt]\r\napp=x\r\n"
                            // No code page 932 text: a pair no character has, a lone lead byte.
                            "[\xEF\xBC]\r\napp=x\r\n[x\x83 ]\r\napp=x\r\n";
    const std::string refused[] = {outside, "sub\\x", "CON", "x.", "nul.txt", "\xEF\xBC", "x\x83"};
    std::string expected;
    for (const auto& n : refused)
        expected += "error: " + n + " の名前で登録することはできません。\r\n";
    for (const char* command : {"/apply", "/update"}) {
        SetIni(ini);
        DeleteFileA((dir / "ok.exe").c_str());
        ProcResult r = Alias(command);
        EXPECT_EQ(r.exitCode, 1u) << command;
        EXPECT_EQ(r.out, expected) << command << Printable(r.out);
        EXPECT_EQ(Bytes("ok.exe"), Bytes("rudi.ex_")) << command;
        EXPECT_FALSE(PathExists(dir.Path() + outside + ".exe")) << command;
        EXPECT_TRUE(FolderFiles(dir / "sub\\").empty()) << command;
        for (const auto& f : FolderFiles(dir.Path())) // only ok.exe is new
            EXPECT_TRUE(f.first == "ok.exe" || f.first == "alias.ini" || f.first == "sub\\" ||
                        f.first == "alias.exe" || f.first == "rudi.ex_" || f.first == "dovoz.ex_")
                << f.first;
    }
    // /clear all removes the sections but deletes no file they name outside the folder.
    ASSERT_TRUE(WriteFileBytes(dir.Path() + outside + ".exe", "not ours"));
    ASSERT_TRUE(WriteFileBytes(dir / "sub\\x.exe", "not ours"));
    EXPECT_EQ(Alias("/clear all").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n");
    EXPECT_EQ(ReadFileBytes(dir.Path() + outside + ".exe"), "not ours");
    EXPECT_EQ(ReadFileBytes(dir / "sub\\x.exe"), "not ours");
    EXPECT_FALSE(PathExists(dir / "ok.exe"));
    DeleteFileA((dir.Path() + outside + ".exe").c_str());
}

// A run killed between its steps left files that the next changing command, whichever it is,
// puts right. While an alias is defined and its helper's name is free, the step is finished:
// the prepared copy takes the name, unless the helper moved aside is the kind the definition
// asks for and the copy is not (the kill came before the definition was saved); a copy that is
// no whole helper never does. Everything else left goes.
TEST_F(Maintenance, FilesOfAnInterruptedRunArePutRight) {
    const std::string cut = Bytes("dovoz.ex_").substr(0, 4096);
    const struct {
        const char* Ini;    // the definition as the kill left it
        const char* New;    // template of "a.exe.~aliasnew", "cut" for a part of one, or none
        const char* Old;    // template of "a.exe.~aliasold", or none
        const char* Helper; // template a.exe is a copy of afterwards, or none
    } cases[] = {
        {"[a]\r\ntype=console\r\n", "dovoz.ex_", nullptr, "dovoz.ex_"}, // saved, not renamed
        {"[a]\r\ntype=GUI\r\n", "rudi.ex_", "dovoz.ex_", "rudi.ex_"},   // the same, re-registered
        {"[a]\r\ntype=GUI\r\n", "dovoz.ex_", "rudi.ex_", "rudi.ex_"},   // killed before the save
        {"[a]\r\ntype=GUI\r\n", "rudi.ex_", "rudi.ex_", "rudi.ex_"},
        {"[a]\r\ntype=GUI\r\n", nullptr, "rudi.ex_", "rudi.ex_"}, // /del before its save
        {"[a]\r\ntype=GUI\r\n", "cut", nullptr, nullptr},
        {"[a]\r\ntype=GUI\r\n", "cut", "dovoz.ex_", "dovoz.ex_"},
        {"[b]\r\n", "dovoz.ex_", nullptr, nullptr}, // registration killed before its save
        {"[b]\r\n", nullptr, "dovoz.ex_", nullptr}, // /del killed after its save
    };
    for (const char* command : {"b /dir=x", "/apply", "/dos c echo", "/del c"}) {
        for (const auto& c : cases) {
            const std::string what = std::string(command) + " " + c.Ini + " " +
                                     (c.New ? c.New : "-") + " " + (c.Old ? c.Old : "-");
            DeleteFileA((dir / "a.exe").c_str());
            DeleteFileA((dir / "c.exe").c_str());
            SetIni(std::string(c.Ini) + "[b]\r\napp=y\r\n");
            Helper("b.exe", "dovoz.ex_");
            if (c.New && std::string(c.New) == "cut")
                ASSERT_TRUE(WriteFileBytes(dir / "a.exe.~aliasnew", cut));
            else if (c.New)
                Helper("a.exe.~aliasnew", c.New);
            if (c.Old)
                Helper("a.exe.~aliasold", c.Old);
            // Files of these names that no change of alias.exe made stay.
            for (const char* user : {"notes.txt.~aliasnew", "x.exe.~aliasold"})
                ASSERT_TRUE(WriteFileBytes(dir / user, "user's"));
            const ProcResult r = Alias(command);
            for (const char* user : {"notes.txt.~aliasnew", "x.exe.~aliasold"})
                EXPECT_EQ(Bytes(user), "user's") << what;
            EXPECT_EQ(r.exitCode, 0u) << what << Printable(r.out);
            // /apply makes a missing helper of its own; the others leave a missing one missing.
            const char* expected = c.Helper;
            if (!expected && std::string(command) == "/apply" && std::string(c.Ini) != "[b]\r\n")
                expected = "rudi.ex_";
            EXPECT_EQ(Bytes("a.exe"), expected ? Bytes(expected) : "") << what;
            EXPECT_EQ(PathExists(dir / "a.exe"), expected != nullptr) << what;
            EXPECT_FALSE(PathExists(dir / "a.exe.~aliasnew")) << what;
            EXPECT_FALSE(PathExists(dir / "a.exe.~aliasold")) << what;
        }
    }
}

// A prepared helper that cannot take its name (another program holds it) is reported and kept
// for the next command, never deleted: that left the alias without its helper, silently.
TEST_F(Maintenance, ARecoveryThatCannotMoveKeepsTheCopyAndSaysSo) {
    SetIni("[a]\r\ntype=console\r\napp=x\r\n");
    Helper("a.exe.~aliasnew", "dovoz.ex_");
    ProcResult r = AliasWhileHeld("a.exe.~aliasnew", "/apply");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out,
              "error: ヘルパ コマンド" + dir.Path() + "a.exeの復元に失敗しました。 Code = 32\r\n");
    EXPECT_EQ(Bytes("a.exe.~aliasnew"), Bytes("dovoz.ex_"));
    EXPECT_FALSE(PathExists(dir / "a.exe"));
    r = Alias("/apply"); // free again: the next command finishes the step
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_EQ(Bytes("a.exe"), Bytes("dovoz.ex_"));
    EXPECT_FALSE(PathExists(dir / "a.exe.~aliasnew"));
}

// "alias.ini" held by another program that shares nothing (a sync tool, a scanner, an editor
// that locks), or holding text that is not code page 932, is there but cannot be read: every
// changing command reports it and changes nothing, and none takes the helpers for orphans.
// Held by one that shares reads, it loads: what needs no save is done, what needs one is
// reported, and no defined alias loses its helper.
TEST_F(Maintenance, ADefinitionFileThatCannotBeReadIsNeverTakenForAMissingOne) {
    const std::string ini = "[a]\r\ntype=console\r\napp=x\r\n[b]\r\napp=y\r\n";
    // UTF-16 text has no system error to show; a file held without sharing has the violation.
    const std::string unreadable =
        "error: 定義ファイル" + dir.Path() + "alias.iniを読み込めません。\r\n";
    const std::string held =
        "error: 定義ファイル" + dir.Path() + "alias.iniを読み込めません。 Code = 32\r\n";
    const std::string unwritable =
        "error: 定義ファイル" + dir.Path() + "alias.iniに書き込めません。 Code = 5\r\n";
    const struct {
        std::string Command;
        std::string SharedOut;  // with the file shared for reading; "" when the command works
        const char* SharedGone; // files the working command removes
    } cases[] = {
        {"/apply", "", "orphan.exe"},
        {"/update", "", "orphan.exe"},
        {"/clear", "", "a.exe b.exe orphan.exe"},
        {"/clear all", unwritable, ""},
        {"/del a", unwritable, ""},
        {"a /dir=C:\\", unwritable, ""},
        {"/dos n echo", unwritable, ""},
        {"/dos a echo", unwritable, ""},
    };
    for (const char* how : {"held", "utf-16", "shared"}) {
        for (const auto& c : cases) {
            const std::string what = std::string(how) + " " + c.Command;
            SetIni(how == std::string("utf-16") ? std::string("\xFF\xFE[\0a\0]\0\r\0\n\0", 12)
                                                : ini);
            for (const char* f : {"a.exe", "b.exe", "orphan.exe"})
                Helper(f, "dovoz.ex_");
            auto expected = FolderFiles(dir.Path());
            std::string out = how == std::string("held") ? held : unreadable;
            if (how == std::string("shared")) {
                out = c.SharedOut;
                for (const std::string& gone : SplitWords(c.SharedGone))
                    expected.erase(gone);
            }
            const ProcResult r =
                how == std::string("utf-16")
                    ? Alias(c.Command)
                    : AliasWhileHeld("alias.ini", c.Command,
                                     how == std::string("held") ? 0 : FILE_SHARE_READ);
            EXPECT_EQ(r.exitCode, out.empty() ? 0u : 1u) << what;
            EXPECT_EQ(r.out, out) << what;
            EXPECT_EQ(FolderFiles(dir.Path()), expected) << what;
        }
    }
}

// Every file a command could not delete reaches its exit code, with one error line.
TEST_F(Maintenance, AHelperThatCannotBeDeletedIsReportedByEveryCommand) {
    const struct {
        const char* Held;
        const char* Command;
    } cases[] = {
        {"orphan.exe", "/apply"},     {"orphan.exe", "/update"}, {"orphan.exe", "/clear"},
        {"orphan.exe", "/clear all"}, {"a.exe", "/clear"},       {"a.exe", "/clear all"},
    };
    for (const auto& c : cases) {
        SetIni("[a]\r\napp=x\r\n");
        Helper("a.exe", "dovoz.ex_");
        Helper("orphan.exe", "dovoz.ex_");
        const ProcResult r = AliasWhileHeld(c.Held, c.Command);
        EXPECT_EQ(r.exitCode, 1u) << c.Held << " " << c.Command;
        // A definition stays while its helper stays.
        EXPECT_EQ(Ini().find("[a]") != std::string::npos,
                  std::string(c.Held) == "a.exe" || std::string(c.Command) != "/clear all")
            << c.Held << " " << c.Command;
        EXPECT_EQ(r.out, "error: ヘルパ コマンド" + dir.Path() + c.Held +
                             "の削除に失敗しました。 Code = 32\r\n")
            << c.Held << " " << c.Command;
        EXPECT_TRUE(PathExists(dir / c.Held)) << c.Held << " " << c.Command;
    }
}

} // namespace

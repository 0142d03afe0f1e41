// /del, /clear, /clear all, /apply and /update with the real alias.exe.
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

class Maintenance : public AliasFolderTest {
  protected:
    std::string Bytes(const char* f) { return ReadFileBytes(dir / f); }
    void Helper(const char* name, const char* templ) {
        ASSERT_TRUE(CopyOneFile(dir / templ, dir / name));
    }
    // Runs alias.exe while the file is open without write or delete sharing, as a running
    // program holds its file: Wine then refuses to delete or write over it, as Windows does.
    ProcResult AliasWhileHeld(const char* name, const std::string& args) {
        HANDLE h = CreateFileA((dir / name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE);
        ProcResult r = Alias(args);
        CloseHandle(h);
        return r;
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
    EXPECT_EQ(r.out, "error: ヘルパ コマンド" + dir.Path() + "a.exeの削除に失敗しました。\r\n");
    EXPECT_EQ(Ini(), "[a]\r\napp=x\r\n"); // nothing changed: the definition stays too
}

TEST_F(Maintenance, ClearRemovesOnlyHelperCommands) {
    SetIni("[a]\r\napp=x\r\n");
    Helper("a.exe", "dovoz.ex_");
    Helper("ORPHAN.EXE", "rudi.ex_"); // capital extension still recognised
    Helper("copy.bin", "rudi.ex_");   // another extension is not
    ASSERT_TRUE(CopyOneFile(DistDir() + "..\\tests\\maintenance_tests.exe", dir / "other.exe"));
    ProcResult r = Alias("/clear");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_FALSE(PathExists(dir / "a.exe"));
    EXPECT_FALSE(PathExists(dir / "ORPHAN.EXE"));
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

TEST_F(Maintenance, ApplyRemovesOrphansAndCreatesMissingHelpers) {
    SetIni("[g]\r\ntype=GUI\r\napp=x\r\n[c]\r\ntype=console\r\napp=y\r\n[k]"
           "\r\napp=z\r\n");
    Helper("orphan.exe", "dovoz.ex_");
    Helper("c.exe", "rudi.ex_"); // existing helper of another kind stays as it is
    ProcResult r = Alias("/apply");
    EXPECT_EQ(r.exitCode, 0u) << Printable(r.out);
    EXPECT_FALSE(PathExists(dir / "orphan.exe"));
    EXPECT_EQ(Bytes("g.exe"), Bytes("rudi.ex_"));
    EXPECT_EQ(Bytes("c.exe"), Bytes("rudi.ex_"));
    EXPECT_EQ(Bytes("k.exe"), Bytes("dovoz.ex_")); // no type: the console build
}

TEST_F(Maintenance, UpdateRecreatesAllSoAChangedKindTakesEffect) {
    SetIni("[c]\r\ntype=console\r\napp=y\r\n");
    Helper("c.exe", "rudi.ex_");
    ASSERT_TRUE(WriteFileBytes(dir / "keep.exe", "not a helper"));
    EXPECT_EQ(Alias("/update").exitCode, 0u);
    EXPECT_EQ(Bytes("c.exe"), Bytes("dovoz.ex_"));
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
    EXPECT_EQ(r.out, "error: ヘルパ コマンド" + dir.Path() + "a.exeの更新に失敗しました。\r\n");
    EXPECT_EQ(Bytes("a.exe"), Bytes("rudi.ex_"));
    EXPECT_EQ(Bytes("b.exe"), Bytes("dovoz.ex_"));
}

TEST_F(Maintenance, UpdateReportsOnlyTheLastFailedCopy) {
    SetIni("[a]\r\ntype=GUI\r\napp=x\r\n[b]\r\ntype=GUI\r\napp=y\r\n");
    ASSERT_TRUE(DeleteFileA((dir / "rudi.ex_").c_str()));
    ProcResult r = Alias("/update");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: ヘルパ コマンド" + dir.Path() + "b.exeの更新に失敗しました。\r\n");
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

// Hand-edited sections that name no plain file of the program folder are skipped with an error
// line; nothing is written outside the folder or into a sub-folder, and the sound aliases
// still get their helpers.
TEST_F(Maintenance, HostileSectionsNeverReachOutsideTheFolder) {
    ASSERT_TRUE(CreateDirectoryA((dir / "sub").c_str(), nullptr));
    const std::string outside = "..\\" + CurrentTestName() + "_outside";
    const std::string ini = "[" + outside +
                            "]\r\napp=x\r\n[sub\\x]\r\napp=x\r\n[CON]\r\napp=x\r\n"
                            "[ok]\r\ntype=GUI\r\napp=x\r\n[x.]\r\napp=x\r\n[nul.txt]\r\napp=x\r\n";
    const std::string refused[] = {outside, "sub\\x", "CON", "x.", "nul.txt"};
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

// A run killed while it moved a helper aside or prepared one left files the next changing
// run puts right: a prepared copy goes, a helper moved aside comes back while its alias is
// defined and goes when it is not.
TEST_F(Maintenance, FilesOfAnInterruptedRunArePutRight) {
    SetIni("[a]\r\napp=x\r\n");
    Helper("a.exe.~aliasold", "dovoz.ex_");
    Helper("b.exe.~aliasold", "dovoz.ex_");
    Helper("c.exe.~aliasnew", "dovoz.ex_");
    EXPECT_EQ(Alias("/apply").exitCode, 0u);
    EXPECT_EQ(Bytes("a.exe"), Bytes("dovoz.ex_"));
    for (const char* gone : {"a.exe.~aliasold", "b.exe.~aliasold", "b.exe", "c.exe.~aliasnew"})
        EXPECT_FALSE(PathExists(dir / gone)) << gone;
}

} // namespace

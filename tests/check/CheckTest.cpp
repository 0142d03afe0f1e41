// alias /check with the real alias.exe: over a folder of sound aliases and one alias per
// problem, each broken alias is named once, in the order of the file, no sound one is named,
// and neither "alias.ini" nor the folder changes.
#include <gtest/gtest.h>

#include "Handle.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// An alias of the table: its section's lines, its helper file, and the line /check gives for
// it (empty for a sound alias).
struct TAliasCase {
    std::string Name, Lines;
    const char* Helper; // a template, "text" for another file, "longer" for an older helper,
                        // "cut" for a copy cut short
    std::string Report;
};

class Check : public AliasFolderTest {
  protected:
    std::string bin = dir / "bin\\", envbin = dir / "envbin\\", decoy = dir / "decoy\\";

    void SetUp() override {
        AliasFolderTest::SetUp();
        for (const auto& sub : {bin, envbin, decoy})
            ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
        // Programs to find, and a script and a text that are found but the system cannot start.
        ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", bin + "tool.exe"));
        ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", envbin + "envtool.exe"));
        ASSERT_TRUE(WriteFileBytes(bin + "s.py", "print(1)"));
        ASSERT_TRUE(WriteFileBytes(bin + "notes.txt", "notes"));
        ASSERT_TRUE(WriteFileBytes(decoy + "Shadowed.BAT", "@echo decoy"));
    }

    // The decoy folder before the program folder (quoted, padded, with its "\"), bin after it.
    RunOptions Options(bool programFolderOnPath = true) {
        RunOptions o;
        const std::string folder = programFolderOnPath ? " \"" + dir.Path() + "\" ;" : "";
        o.setEnv = {{"PATH", decoy.substr(0, decoy.size() - 1) + ";" + folder + bin},
                    {"PATHEXT", ".COM;.EXE;.BAT"},
                    {"HALF", std::string(16383, 'h')}};
        return o;
    }

    // Writes the sections and the helper files of the cases.
    void Make(const std::vector<TAliasCase>& cases) {
        std::string ini = "[alias]\r\nkilltarget=on\r\n";
        for (const auto& c : cases) {
            ini += "[" + c.Name + "]\r\n" + c.Lines + "\r\n";
            const std::string helper = dir / (c.Name + ".exe");
            const std::string h = c.Helper ? c.Helper : "";
            const std::string dovoz = ReadFileBytes(dir / "dovoz.ex_");
            const std::string bytes = h == "text"     ? "not a helper"
                                      : h == "longer" ? dovoz + '\0'
                                      : h == "cut"    ? dovoz.substr(0, 20000)
                                      : h.empty()     ? ""
                                                      : ReadFileBytes(dir / h);
            if (!h.empty()) {
                ASSERT_TRUE(WriteFileBytes(helper, bytes)) << helper;
            }
        }
        SetIni(ini);
    }

    std::vector<TAliasCase> Sound() {
        return {
            {"ok", "app=" + bin + "tool.exe\r\ndir=" + bin + "\r\nenv:OKVAR=1", "dovoz.ex_", ""},
            {"okgui", "type=GUI\r\napp=" + bin + "tool.exe", "rudi.ex_", ""},
            {"viaenv", "app=envtool\r\nenv:PATH=" + envbin + ";%PATH%", "dovoz.ex_", ""},
            {"okdos", "type=DOS\r\napp=nosuchcommand", "dovoz.ex_", ""}, // never searched
            {"tool", "app=tool", "dovoz.ex_", ""}, // its own helper passed over, found on PATH
        };
    }
};

TEST_F(Check, EachBrokenAliasIsNamedOnceAndNothingChanges) {
    const std::string tool = "app=" + bin + "tool.exe\r\n";
    const std::string nul("\0", 1);
    const std::string helper = "のヘルパ コマンド" + dir.Path();
    const std::string dollars(80000, '$');
    std::vector<TAliasCase> cases = Sound();
    const std::vector<TAliasCase> broken = {
        {"gone", "app=" + bin + "nosuch.exe", "dovoz.ex_",
         "gone のプログラム " + bin + "nosuch.exe が見つかりません。"},
        // viaenv's PATH is put back before the next alias.
        {"noenv", "app=envtool", "dovoz.ex_", "noenv のプログラム envtool が見つかりません。"},
        {"selfonly", "app=selfonly", "dovoz.ex_",
         "selfonly のプログラム selfonly が見つかりません。"},
        // Only in the folder /check is run from, which no helper searches.
        {"planted", "app=planted", "dovoz.ex_", "planted のプログラム planted が見つかりません。"},
        {"noapp", "type=console", "dovoz.ex_", "noapp の app が指定されていません。"},
        // No interpreter on PATH; a file that is neither a program nor a script (Code 193).
        {"nopython", "app=" + bin + "s.py", "dovoz.ex_",
         "nopython のスクリプト " + bin +
             "s.py を実行するインタプリタ py.exe;python.exe が見つかりません。"},
        {"notes", "app=" + bin + "notes.txt", "dovoz.ex_",
         "notes のプログラム " + bin +
             "notes.txt はプログラムでも、alias の知っているスクリプトでもありません。"},
        {"nodir", tool + "dir=" + dir.Path() + "nosuch", "dovoz.ex_",
         "nodir のディレクトリ " + dir.Path() + "nosuch が見つかりません。"},
        {"zero", tool + "param=-a" + nul + "b", "dovoz.ex_",
         "zero の param の値に使えない文字があります。"},
        {"lead", tool + "dir=\x81", "dovoz.ex_", "lead の dir の値に使えない文字があります。"},
        {"nulkey", tool + "env:V" + nul + "W=1", "dovoz.ex_",
         "nulkey の env:V W の値に使えない文字があります。"},
        {"big", tool + "env:BIG=%HALF%%HALF%x", "dovoz.ex_",
         "big の env:BIG を展開した値が長すぎます。"},
        // The helper's line without caller text: program, blank, parameters, blank.
        {"toolong", tool + "param=" + std::string(40000, 'p'), "dovoz.ex_",
         "toolong のコマンド ラインが長すぎます (" +
             std::to_string((bin + "tool.exe").size() + 1 + 40000 + 1) + " 文字)。"},
        // The filled-in template: "$$" one "$", "$1" without caller text nothing, no blank after.
        {"placed", tool + "placeargs=on\r\nparam=$1" + dollars, "dovoz.ex_",
         "placed のコマンド ラインが長すぎます (" +
             std::to_string((bin + "tool.exe").size() + 1 + dollars.size() / 2) + " 文字)。"},
        {"nohelper", tool, nullptr,
         "nohelper " + helper + "nohelper.exeがありません。alias /apply で作成してください。"},
        {"nothelper", tool, "text",
         "nothelper " + helper +
             "nothelper.exeはヘルパ コマンドではありません。名前を変えてから alias /apply "
             "を実行してください。"},
        {"otherkind", tool, "rudi.ex_",
         "otherkind " + helper +
             "otherkind.exeは定義とは別の種類 (GUI/コンソール) です。alias /update "
             "を実行してください。"},
        // A name Wine builds in: the version resource is read from the file itself.
        {"hostname", tool + "type=console", "longer",
         "hostname " + helper +
             "hostname.exeは今のテンプレートと違います。alias /update を実行してください。"},
        {"cut", tool, "cut",
         "cut " + helper + "cut.exeは壊れています。alias /apply で作り直されます。"},
        {"shadowed", tool, "dovoz.ex_",
         "shadowed と入力すると PATH で先にある " + decoy + "Shadowed.BAT が起動します。"},
        {"x.", tool, nullptr, "x. の名前で登録することはできません。"},
        // café.exe beside it is no helper of cafe: code page 932 cannot spell its name.
        {"cafe", tool, nullptr,
         "cafe " + helper + "cafe.exeがありません。alias /apply で作成してください。"},
    };
    cases.insert(cases.begin() + 2, broken.begin(), broken.end());
    Make(cases);
    ASSERT_TRUE(CopyFileW(AnsiToWide(dir / "dovoz.ex_").c_str(),
                          (AnsiToWide(dir.Path()) + L"caf\u00e9.exe").c_str(), TRUE));
    ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "orphan.exe"));
    std::string expected;
    for (const auto& c : cases)
        if (!c.Report.empty())
            expected += c.Report + "\r\n";
    expected +=
        "orphan " + helper + "orphan.exeには定義がありません。alias /apply で削除されます。\r\n";
    const std::string here = dir / "here\\";
    ASSERT_TRUE(CreateDirectoryA(here.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(here + "planted.exe", "planted"));
    const auto before = FolderFiles(dir.Path());
    RunOptions o = Options();
    o.cwd = here;
    const ProcResult r = Alias("/check", o);
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, expected) << Printable(r.out);
    EXPECT_EQ(FolderFiles(dir.Path()), before);
}

// Names typing does not reach, starts that can only loop, a program moved to a folder of another
// version, a section named like another helper's short name and a helper left aside: one line
// each, the alias first; the loops after every alias. /apply and /del never take the short name
// for the other helper.
TEST_F(Check, NamesTypingMissesLoopsAndMovedPrograms) {
    const std::string tool = "app=" + bin + "tool.exe";
    for (const char* version : {"Tool 8", "Tool 9", "Tool 10", "Other 11"}) {
        ASSERT_TRUE(CreateDirectoryA((dir / version).c_str(), nullptr));
        if (std::string(version) != "Tool 9") {
            ASSERT_TRUE(WriteFileBytes(dir / version + "\\tool.exe", "tool"));
        }
    }
    const std::string latest = dir / "Tool 10\\tool.exe";
    ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "verylongaliasname.exe"));
    char shortPath[MAX_PATH];
    ASSERT_NE(GetShortPathNameA((dir / "verylongaliasname.exe").c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortName =
        std::string(shortPath).substr(std::string(shortPath).rfind('\\') + 1);
    const std::string shortAlias = shortName.substr(0, shortName.rfind('.'));
    ASSERT_NE(shortAlias.find('~'), std::string::npos) << shortName;
    const std::string typeQuoted = " と引用符で囲んで入力してください。";
    auto ps = [](const std::string& name, const std::string& shells) {
        return name + " は PowerShell " + shells + " の組み込みのエイリアスです。PowerShell では " +
               name + ".exe と入力してください。";
    };
    auto untypeable = [&](const std::string& name) {
        return name + " はコマンド プロンプトでは入力したとおりに起動できません。\"" + name + "\"" +
               typeQuoted;
    };
    const std::vector<TAliasCase> cases = {
        {"dir", tool, "dovoz.ex_",
         "dir はコマンド プロンプトの内部コマンドです。コマンド プロンプトでは dir.exe "
         "と入力してください。\r\n" +
             ps("dir", "5.1 と 7")},
        {"GL", tool, "dovoz.ex_", ps("GL", "5.1 と 7")},
        {"curl", tool, "dovoz.ex_", ps("curl", "5.1")},
        {"gerr", tool, "dovoz.ex_", ps("gerr", "7")},
        {"a&b", tool, "dovoz.ex_", untypeable("a&b")},
        {"@at", tool, "dovoz.ex_", untypeable("@at")},
        {"k;l", tool, "dovoz.ex_", untypeable("k;l")},
        {"self", "app=" + dir.Path() + "bin\\..\\SELF.EXE", "dovoz.ex_", ""},
        {"x1", "app=" + dir.Path() + "x2.exe", "dovoz.ex_", ""},
        {"x2", "app=x1", "dovoz.ex_", ""},
        {"moved", "app=" + dir.Path() + "Tool 7\\tool.exe", "dovoz.ex_",
         "moved のプログラム " + dir.Path() +
             "Tool 7\\tool.exe が見つかりません。\r\nmoved のプログラムは " + latest +
             " にあります。alias moved /path=\"" + latest + "\" で変更できます。"},
        {"verylongaliasname", tool, nullptr, ""},
        {shortAlias, tool, nullptr,
         shortAlias + " はヘルパ コマンド" + dir.Path() +
             "verylongaliasname.exeの短い名前です。この名前のヘルパ コマンドは作成できません。"
             "名前を変えてください。"},
    };
    Make(cases);
    ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "old.exe.~aliasold"));
    std::string expected;
    for (const auto& c : cases)
        if (!c.Report.empty())
            expected += c.Report + "\r\n";
    for (const char* loop : {"self", "x1", "x2"})
        expected +=
            std::string(loop) + " の起動はエイリアスをたどって自分に戻るため、循環します。\r\n";
    expected += "old のヘルパ コマンド" + dir.Path() +
                "old.exe.~aliasoldは中断された変更で残されたものです。次に alias "
                "で変更するときに片付けられます。\r\n";
    const auto before = FolderFiles(dir.Path());
    const ProcResult r = Alias("/check", Options());
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, expected) << Printable(r.out);
    EXPECT_EQ(FolderFiles(dir.Path()), before);
    const std::string helper = ReadFileBytes(dir / "verylongaliasname.exe");
    EXPECT_EQ(Alias("/apply", Options()).exitCode, 1u);
    EXPECT_EQ(Alias("/del " + shortAlias, Options()).exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(dir / "verylongaliasname.exe"), helper);
    EXPECT_EQ(Ini().find("[" + shortAlias + "]"), std::string::npos);
}

// References in app, dir and param, through a helper and through /check: expanded at the start
// (%~dp0 the folder of both, in param too; other variables in app and dir alone), an undefined
// variable left as written, an expansion too long refused; /check names the stored text first.
TEST_F(Check, ReferencesExpandAtEachStart) {
    const std::string tools = dir / "tools";
    ASSERT_TRUE(CreateDirectoryA(tools.c_str(), nullptr));
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", tools + "\\probe.exe"));
    const std::string probe = tools + "\\probe.exe";
    const struct {
        std::string Name, Lines, Started, Helper, Check;
    } cases[] = {
        {"r1", "app=%~dp0tools\\probe.exe\r\nparam=%~dp0x %TOOLS%",
         probe + " " + dir.Path() + "x %TOOLS% ", "", ""},
        {"r2", "app=%TOOLS%\\probe.exe\r\ndir=%TOOLS%", probe + "  ", "", ""},
        {"r3", "app=%UNDEFINEDVAR%\\probe.exe", "",
         "プログラム %UNDEFINEDVAR%\\probe.exe が見つかりません。",
         "r3 のプログラム %UNDEFINEDVAR%\\probe.exe が見つかりません。"},
        {"r4", "app=%TOOLS%\\nosuch", "", "プログラム " + tools + "\\nosuch.exe が見つかりません。",
         "r4 のプログラム %TOOLS%\\nosuch が見つかりません。 (" + tools + "\\nosuch)"},
        {"r5", "app=%TOOLS%\\probe.exe\r\ndir=%HALF%%HALF%x", "",
         "r5 の dir を展開した値が長すぎます。", "r5 の dir を展開した値が長すぎます。"},
    };
    std::string ini, expected;
    for (const auto& c : cases) {
        ini += "[" + c.Name + "]\r\n" + c.Lines + "\r\n";
        ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / (c.Name + ".exe")));
        if (!c.Check.empty())
            expected += c.Check + "\r\n";
    }
    SetIni(ini);
    RunOptions o = Options();
    o.setEnv.push_back({"TOOLS", tools});
    o.setEnv.push_back({"PROBE_OUT", dir / "rec.txt"});
    for (const auto& c : cases) {
        DeleteFileA((dir / "rec.txt").c_str());
        const ProcResult r = RunProcess(Quote(dir / (c.Name + ".exe")), o);
        EXPECT_EQ(r.exitCode, c.Helper.empty() ? 0u : 1u) << c.Name << Printable(r.out);
        EXPECT_EQ(r.out, c.Helper.empty() ? "probe stdout\r\n" : "error: " + c.Helper + "\r\n")
            << c.Name;
        const std::string rec = ReadFileBytes(dir / "rec.txt");
        EXPECT_EQ(rec.substr(0, rec.find('\n')), c.Started) << c.Name;
    }
    const ProcResult r = Alias("/check", o);
    EXPECT_EQ(r.out, expected) << Printable(r.out);
}

// A sound folder gives nothing; what is wrong with no one alias is one line.
TEST_F(Check, FolderWideProblems) {
    Make(Sound());
    const struct {
        const char* What;
        bool OnPath;
        const char* Gone; // a template deleted first
        std::string Out;
    } cases[] = {
        {"sound", true, nullptr, ""},
        {"not on PATH", false, nullptr,
         "フォルダー " + dir.Path() +
             " が PATH にないため、エイリアスはコマンド プロンプトから使えません。\r\n"},
        {"no template", true, "rudi.ex_",
         "ヘルパ コマンド テンプレート" + dir.Path() + "rudi.ex_が見つかりません。\r\n"},
    };
    for (const auto& c : cases) {
        if (c.Gone) {
            ASSERT_TRUE(DeleteFileA((dir / c.Gone).c_str()));
        }
        const auto before = FolderFiles(dir.Path());
        const ProcResult r = Alias("-check", Options(c.OnPath));
        EXPECT_EQ(r.exitCode, c.Out.empty() ? 0u : 1u) << c.What;
        EXPECT_EQ(r.out, c.Out) << c.What << Printable(r.out);
        EXPECT_EQ(FolderFiles(dir.Path()), before) << c.What;
    }
}

// A UTF-8 file is read in its encoding: a name that code page 932 cannot hold can have no
// helper file, and what the lines show stands in "?" for what code page 932 cannot show.
TEST_F(Check, AUtf8FileIsCheckedInItsEncoding) {
    const std::string tool = "app=" + bin + "tool.exe\r\n";
    SetIni("\xEF\xBB\xBF[" + Utf8(L"\u58F2\u4E0A") + "]\r\n" + tool + // 売上, sound
           "[" + Utf8(L"\uD55C") + "]\r\n" + tool +                   // 한
           "[nodir]\r\n" + tool + "dir=" + dir.Path() + Utf8(L"Caf\u00E9") + "\r\n");
    ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "売上.exe"));
    ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "nodir.exe"));
    const auto before = FolderFiles(dir.Path());
    const ProcResult r = Alias("/check", Options());
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "? の名前で登録することはできません。\r\nnodir のディレクトリ " + dir.Path() +
                         "Caf? が見つかりません。\r\n")
        << Printable(r.out);
    EXPECT_EQ(FolderFiles(dir.Path()), before);
}

// A file marked as UTF-8 that holds bytes that are no UTF-8 (a hand edit in another editor) is
// checked as the helper reads it, what is no UTF-8 as code page 932; that the changing commands
// refuse such a file is a line of its own, first.
TEST_F(Check, AFileMarkedUtf8WithOtherBytesIsCheckedAsTheHelperReadsIt) {
    const std::string tool = "app=" + bin + "tool.exe\r\n";
    SetIni("\xEF\xBB\xBF[" + Utf8(L"\u58F2\u4E0A") + "]\r\n" + tool + // 売上 in UTF-8, sound
           "[表]\r\napp=" + bin + "表.exe\r\n");                      // code page 932
    ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "売上.exe"));
    ASSERT_TRUE(CopyOneFile(dir / "dovoz.ex_", dir / "表.exe"));
    const auto before = FolderFiles(dir.Path());
    const ProcResult r = Alias("/check", Options());
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out,
              "定義ファイル" + dir.Path() +
                  "alias.iniは UTF-8 と記されていますが、UTF-8 でない文字を含んでいます。\r\n"
                  "表 のプログラム " +
                  bin + "表.exe が見つかりません。\r\n")
        << Printable(r.out);
    EXPECT_EQ(FolderFiles(dir.Path()), before);
}

// Without a definition file, or with one that cannot be read, the check says so as the
// changing commands do.
TEST_F(Check, ADefinitionFileMissingOrUnreadableIsReported) {
    const std::string path = dir / "alias.ini";
    const ProcResult missing = Alias("/check", Options());
    EXPECT_EQ(missing.exitCode, 1u);
    EXPECT_EQ(missing.out,
              "error: 定義ファイル" + path + "がありません。alias /edit で作成してください。\r\n");
    Make(Sound());
    TFileHandle held(
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    const ProcResult r = Alias("/check", Options());
    held.Reset();
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: 定義ファイル" + path + "を読み込めません。 Code = 32\r\n");
}

} // namespace

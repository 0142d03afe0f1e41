// A definition file saved as UTF-8, as Notepad saves one, works end to end and stays UTF-8; a
// code page 932 file stays code page 932; a file that is neither is reported, never changed.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

// UTF-8 throughout, by the system's own reading.
bool IsUtf8(const std::string& bytes) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                               nullptr, 0) > 0;
}

class Utf8File : public AliasFolderTest {
  protected:
    std::wstring folder, tools, cafe; // the scratch folder and two program folders in it

    void SetUp() override {
        AliasFolderTest::SetUp();
        folder = AnsiToWide(dir.Path());
        tools = folder + L"\u30c4\u30fc\u30eb\\"; // ツール
        cafe = folder + L"Caf\u00e9\\";
        for (const std::wstring& f : {tools, cafe}) {
            ASSERT_TRUE(CreateDirectoryW(f.c_str(), nullptr));
            ASSERT_TRUE(CopyFileW(AnsiToWide(TestBinDir() + "probe_con.exe").c_str(),
                                  (f + L"p.exe").c_str(), FALSE));
        }
    }
    ProcResult AliasW(const std::wstring& args) {
        RunOptions o;
        o.cwd = dir.Path();
        return RunProcessW(L"\"" + folder + L"alias.exe\" " + args, o);
    }
    // Runs a helper of the folder; the command line its target was started with.
    std::wstring Started(const std::string& helper, const std::wstring& args = L"") {
        RunOptions o;
        o.setEnv = {{"PROBE_WIDE", dir / "wide.rec"}};
        DeleteFileA((dir / "wide.rec").c_str());
        const ProcResult r = RunProcessW(L"\"" + folder + AnsiToWide(helper) + L"\" " + args, o);
        EXPECT_EQ(r.exitCode, 0u) << helper << ": " << Printable(r.out);
        const std::string rec = ReadFileBytes(dir / "wide.rec");
        return std::wstring(reinterpret_cast<const wchar_t*>(rec.data()), rec.size() / 2);
    }
    void Helper(const std::string& name) {
        ASSERT_TRUE(CopyOneFile(DistDir() + "dovoz.ex_", dir / name));
    }
};

TEST_F(Utf8File, ANotepadFileWorksAndStaysUtf8) {
    // As Notepad saves it: UTF-8 without a mark, CR LF.
    const std::string keep =
        Utf8(L"[keep]\r\napp=x.exe\r\nparam=\u65e5\u672c\u8a9e \U0001F600\r\n");
    SetIni(Utf8(L"; \u8a2d\u5b9a\r\n[p]\r\napp=" + tools + L"p.exe\r\n[c]\r\napp=" + cafe +
                L"p.exe\r\n") +
           keep);
    Helper("p.exe");
    Helper("c.exe");
    EXPECT_EQ(Started("p.exe", L"a").substr(0, tools.size() + 5), tools + L"p.exe");
    EXPECT_EQ(Started("c.exe", L"a").substr(0, cafe.size() + 5), cafe + L"p.exe");

    // Every changing command keeps the file UTF-8 and the section it does not touch as it was.
    const std::wstring commands[] = {
        L"q \"" + cafe + L"p.exe\" -a \u00e9",
        L"q /param=\u00fc /env:K=\ud55c /dir=" + tools,
        L"q /delenv:K",
        L"/del c",
        L"/apply",
        L"/update",
    };
    for (const std::wstring& command : commands) {
        const ProcResult r = AliasW(command);
        EXPECT_EQ(r.exitCode, 0u) << WideToAnsi(command) << ": " << Printable(r.out);
        EXPECT_TRUE(IsUtf8(Ini())) << WideToAnsi(command);
        EXPECT_NE(Ini().find(keep), std::string::npos) << WideToAnsi(command);
    }
    EXPECT_EQ(Started("q.exe", L"x"), cafe + L"p.exe \u00fc  x");
    EXPECT_FALSE(PathExists(dir / "c.exe"));
    EXPECT_TRUE(PathExists(dir / "keep.exe"));

    // Show and list through a pipe: code page 932, "?" for what it cannot show.
    EXPECT_EQ(
        Alias("q").out,
        "name:  q\r\ntype:  console\r\npath:  " + WideToAnsi(cafe).substr(0, dir.Path().size()) +
            "Caf?\\p.exe\r\nparam: ?\r\ndir:   " + WideToAnsi(tools) + "\r\n");
    EXPECT_NE(Alias("/list").out.find("[???] keep        x.exe 日本語 ?"), std::string::npos);

    EXPECT_EQ(Alias("/clear all").exitCode, 0u);
    EXPECT_TRUE(IsUtf8(Ini()));
    EXPECT_EQ(Ini(), Utf8(L"; \u8a2d\u5b9a\r\n\r\n"));
}

TEST_F(Utf8File, ACodePage932FileStaysCodePage932) {
    SetIni("[a]\r\napp=x.exe\r\n");
    ASSERT_EQ(AliasW(L"j \"" + tools + L"p.exe\"").exitCode, 0u);
    EXPECT_EQ(Ini(), "\r\n[a]\r\napp=x.exe\r\n\r\n[j]\r\ntype=console\r\napp=" + WideToAnsi(tools) +
                         "p.exe\r\nparam=\r\ndir=\r\n\r\n");
    EXPECT_FALSE(IsUtf8(Ini())); // ツール in code page 932
    const std::string before = Ini();
    const ProcResult r = AliasW(L"q \"" + cafe + L"p.exe\"");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: " + WideToAnsi(cafe).substr(0, dir.Path().size()) +
                         "Caf?\\p.exe にはコード ページ 932 で表せない文字があります。UTF-8 "
                         "で保存した定義ファイルなら使えます。\r\n");
    EXPECT_EQ(Ini(), before);
}

TEST_F(Utf8File, AFileInNeitherEncodingIsReportedAndLeftAsItIs) {
    Helper("p.exe");
    Helper("b.exe");
    // A UTF-8 mark before bytes that are no UTF-8: the helper reads them as code page 932.
    const std::string broken = "\xEF\xBB\xBF[p]\r\napp=" + Utf8(tools) +
                               "p.exe\r\n[b]\r\napp=" + WideToAnsi(tools) + "p.exe\r\n";
    SetIni(broken);
    EXPECT_EQ(Started("p.exe").substr(0, tools.size()), tools);
    EXPECT_EQ(Started("b.exe").substr(0, tools.size()), tools);
    // Listed line by line as the helper reads them, the broken line taking no other with it.
    const std::string listed = "[???] p           " + WideToAnsi(tools) +
                               "p.exe\r\n[???] b           " + WideToAnsi(tools) + "p.exe\r\n";
    EXPECT_EQ(Alias("/list").out, listed);
    for (const char* command : {"n alias.exe", "p /param=1", "/del p", "/apply", "/clear all"}) {
        const ProcResult r = Alias(command);
        EXPECT_EQ(r.exitCode, 1u) << command;
        EXPECT_EQ(r.out,
                  "error: 定義ファイル" + dir.Path() +
                      "alias.iniは UTF-8 と記されていますが、UTF-8 でない文字を含んでいます。\r\n")
            << command;
        EXPECT_EQ(Ini(), broken) << command;
    }
    // UTF-16, as Notepad's "Unicode": read by neither program, changed by neither.
    const std::wstring text = L"\ufeff[p]\r\napp=" + tools + L"p.exe\r\n";
    const std::string utf16(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    SetIni(utf16);
    const ProcResult r = Alias("/apply");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.out, "error: 定義ファイル" + dir.Path() + "alias.iniを読み込めません。\r\n");
    EXPECT_EQ(Ini(), utf16);
    // The helper says so in the same words: such a file still holds the definition.
    RunOptions o;
    EXPECT_EQ(RunProcess(Quote(dir / "p.exe"), o).out,
              "error: 定義ファイル" + dir.Path() + "alias.iniを読み込めません。\r\n");
}

} // namespace

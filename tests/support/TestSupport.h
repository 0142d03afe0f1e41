// Helpers shared by the test programs: byte-exact file access, scratch folders and running
// programs as real processes with their output captured.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// Folder of the running test program, ending in "\".
std::string TestBinDir();
// The deliverables folder (alias.exe, rudi.ex_, dovoz.ex_), ending in "\".
std::string DistDir();

bool ReadFileBytes(const std::string& path, std::string& bytes);
std::string ReadFileBytes(const std::string& path); // empty when unreadable
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);
bool IsDir(const std::string& path);
bool CopyOneFile(const std::string& from, const std::string& to);
// Removes a file or a whole folder tree; true when nothing is left.
bool DeleteTree(const std::string& path);

// A fresh, empty folder under the build tree, named after the test. It is left in place after
// the test so a failure can be inspected; the next run starts it afresh.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& name);
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // The folder, ending in "\".
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + rel; }
    bool Ok() const { return ok_; }

  private:
    std::string path_;
    bool ok_ = false;
};

// A scratch name unique to the running GoogleTest case ("Suite.Name").
std::string CurrentTestName();

struct ProcResult {
    bool started = false;
    DWORD startError = 0; // GetLastError of a failed CreateProcessA
    bool timedOut = false;
    DWORD exitCode = 0; // 0xFFFFFFFF when the program did not start
    std::string out;    // standard output, raw bytes
    std::string err;    // standard error, raw bytes
};

struct RunOptions {
    std::string cwd;                                               // empty: inherit
    std::vector<std::pair<std::string, std::string>> setEnv;       // set for the child
    std::vector<std::string> unsetEnv;                             // removed for the child
    std::vector<std::pair<std::wstring, std::wstring>> setEnvWide; // RunProcessW only
    std::string stdinData;                                         // written to the child's stdin
    DWORD timeoutMs = 30000;
    bool waitForChild = true;         // false: return once started (exitCode not read)
    std::function<void()> afterStart; // called once the child runs, before its output is read
};

// Starts cmdline (CreateProcessA, no application name) with pipes for stdin, stdout and stderr
// and collects everything the child writes until it and every process that inherited its pipes
// have ended.
ProcResult RunProcess(const std::string& cmdline, const RunOptions& opt = RunOptions());
// The same through CreateProcessW and a UTF-16 environment, as a caller that speaks Unicode
// (PowerShell, an editor, a scripting runtime) starts programs.
ProcResult RunProcessW(const std::wstring& cmdline, const RunOptions& opt = RunOptions());

// Runs every command line at once, each as RunProcess does; results in the same order.
std::vector<ProcResult> RunAll(const std::vector<std::string>& cmdlines,
                               const RunOptions& opt = RunOptions());

// The entries of a folder (not its sub-folders' contents): file name -> bytes, and
// folder name + "\" -> empty.
std::map<std::string, std::string> FolderFiles(const std::string& dir);

// The processes whose program file lies under folder (found through their image paths, so a
// test ends what it started itself and never another program of the same name); with kill,
// each is ended as well.
int ProcessesUnder(const std::string& folder, bool kill);

// Quote a path for a command line when it holds a blank.
std::string Quote(const std::string& s);

// Bytes of a text shown readably in a failure message (non-ASCII as \xNN).
std::string Printable(const std::string& bytes);

// A program folder of the test's own with copies of alias.exe and both templates, and
// alias.exe run there with the folder as its current directory unless the options name one.
class AliasFolderTest : public ::testing::Test {
  protected:
    ScratchDir dir{CurrentTestName()};

    void SetUp() override;
    ProcResult Alias(const std::string& args, RunOptions o = RunOptions());
    std::string Ini() { return ReadFileBytes(dir / "alias.ini"); }
    void SetIni(const std::string& bytes) { ASSERT_TRUE(WriteFileBytes(dir / "alias.ini", bytes)); }
};

// A scratch folder for helper commands, shared by the helper tests and the transparency tests:
// the console probe copied in as probe.exe, the system's interpreter, and "alias.ini" and
// helper copies written by name.
class HelperFolderTest : public ::testing::Test {
  protected:
    ScratchDir dir{CurrentTestName()};
    std::string probe;   // the console probe, copied into the scratch folder
    std::string comspec; // the interpreter, a path without blanks

    void SetUp() override;
    void Ini(const std::string& bytes) { ASSERT_TRUE(WriteFileBytes(dir / "alias.ini", bytes)); }
    void Helper(const std::string& name, bool console = true) {
        ASSERT_TRUE(CopyOneFile(DistDir() + (console ? "dovoz.ex_" : "rudi.ex_"), dir / name));
    }
};

// Code page 932 <-> UTF-8, for test probes that must read values through the wide API.
std::string WideToAnsi(const std::wstring& w);
// The text in UTF-8, as Notepad saves it (every test text is one UTF-8 can hold).
std::string Utf8(const std::wstring& w);
std::wstring AnsiToWide(const std::string& s);

} // namespace testing_support

// One command's work on "alias.ini": the file is loaded once, changed in memory and saved
// once. A changing command holds the definition lock from before the load until it ends, so
// the read-change-write of every alias.exe (helper files included) runs one at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "ExtIniFile.h"
#include "ExtMem.h"
#include "Handle.h"
#include "HelperFiles.h"
#include "ProgramFolder.h"
#include "Report.h"

// A named mutex shared by every alias.exe that works on the same definition file.
class TDefinitionLock {
  public:
    TDefinitionLock() = default;
    ~TDefinitionLock();
    TDefinitionLock(const TDefinitionLock&) = delete;
    TDefinitionLock& operator=(const TDefinitionLock&) = delete;

    // Waits up to timeoutMs for the lock of that file. A lock whose owner ended without
    // releasing it (killed) is taken over: the file itself is never half-written. 0, or why not:
    // WAIT_TIMEOUT when another run holds it, else the system's error.
    DWORD Acquire(const std::string& definitionFile, DWORD timeoutMs);

  private:
    TKernelHandle FMutex;
    bool FOwned = false;
};

// The mutex name for a definition file, one for every spelling of its path.
std::string DefinitionLockName(const std::string& definitionFile);

// Whether a changing command can go on without a definition file.
enum TFileNeed : int32_t { fnOptional = 0, fnRequired = 1 };

class TDefinitionTransaction {
  public:
    explicit TDefinitionTransaction(const TProgramFolder& folder) : FFolder(folder) {}

    // How long a changing command waits for another one to finish.
    static const DWORD kLockTimeoutMs = 5000;

    // A reading command: loads without the lock. A failure when no file loads: one that says
    // nothing, unless memory ran out.
    TFailure Read();
    // A changing command: takes the lock, loads, and puts right the helper files a killed run
    // left (RecoverInterruptedChanges). A failure when the lock is not obtained, when the file
    // is there but cannot be read (held by another program, no access, not code page 932 text,
    // too large for memory), or, with fnRequired, when there is none; with fnOptional a missing
    // file, and only that, leaves Loaded() false and the command works on the helper files
    // alone.
    TFailure Begin(TFileNeed need);
    // A command that changes nothing but needs the file: loads without the lock, and fails as
    // Begin(fnRequired) does when there is none or it cannot be read. A file marked as UTF-8
    // that holds other bytes loads, as the helper reads it (Ini().EncodingValid() is false).
    TFailure ReadRequired();

    const TProgramFolder& Folder() const { return FFolder; }
    bool Loaded() const { return FLoaded; }
    const std::string& Path() const { return FPath; }
    TExtIniFile& Ini() { return FIni; }
    const TExtIniFile& Ini() const { return FIni; }
    // The encoding of the loaded file: code page 932 without one.
    TTextEncoding Encoding() const { return FIni.Encoding(); }
    // A text of the command line in the file's encoding; a failure when the file cannot hold it
    // (in code page 932 a character outside it: a UTF-8 file could).
    TFailure FileText(const std::wstring& text, std::string& out) const;
    // A text of the file for a message: code page 932, "?" for what it cannot show.
    std::string Shown(const std::string& fileText) const;
    // A text of the file as UTF-16 (what a file marked as UTF-8 holds that is no UTF-8 is read
    // as code page 932, as the helper reads it).
    std::wstring Decoded(const std::string& fileText) const;
    // The section of the alias whose helper file is "<fileName>.exe" (code page 932); none for
    // the reserved name.
    TExtIniSection* FindAlias(const std::string& fileName) const;
    // The helper file name of a section's alias, code page 932; false when no helper file can
    // carry the name (code page 932 cannot hold it, or it is refused: IsRefusedName).
    bool HelperName(const TExtIniSection& s, std::string& fileName) const;
    // Sets a key in memory; a failure when the store refuses the value.
    TFailure WriteValue(const std::string& section, const std::string& key,
                        const std::string& value);
    // Saves once, when the model changed: a command that changes nothing writes nothing. A
    // failure when the file could not be replaced.
    TFailure Commit();

    // The file's bytes as loaded, kept so that a step after Commit that fails can put them back;
    // a failure when they cannot be read or held.
    TFailure KeepOriginal();
    bool RestoreOriginal() const;

    // That a change could not be stored.
    TFailure NotWritten() const;

  private:
    // Loads FPath; a failure for a file that cannot be read, or with fnRequired none.
    TFailure Load(TFileNeed need);

    const TProgramFolder& FFolder;
    TDefinitionLock FLock;
    TExtIniFile FIni;
    std::string FPath;
    TExtMem FOriginal;
    bool FLoaded = false;
};

// The ".exe" files of the program folder, from one listing, sorted by what the maintenance
// commands do with them. Looking each alias's file up on its own would cost, on some file
// systems, a read of the whole folder per missing name.
struct TFolderScan {
    std::vector<std::string> orphans; // helper commands, whole or damaged, of no defined alias
    // The file "<name>.exe" of each defined alias that has one, and what it is (only examined
    // when asked: hsNoHelper otherwise).
    struct TAliasFile {
        std::string path;
        THelperState state;
    };
    std::unordered_map<const TExtIniSection*, TAliasFile> aliasFiles;
};

// Lists the folder once; with examineAliasFiles, tells for each alias's file what it is.
TFolderScan ScanFolder(const TDefinitionTransaction& t, const THelperTemplates& templates,
                       bool examineAliasFiles);

// Files that a killed run left by a THelperChange. While an alias is defined and its helper's
// name is free, the step is finished: of the prepared copy and the helper moved aside, the one
// whose kind (windowed or console) the definition asks for takes the name, the prepared copy
// when both or neither do; a file that is no whole helper never does. Every other such file
// goes. A move that fails is the failure, and its files stay for the next command.
TFailure RecoverInterruptedChanges(const TDefinitionTransaction& t);

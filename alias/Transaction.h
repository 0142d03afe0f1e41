// One command's work on "alias.ini": the file is loaded once, changed in memory and saved
// once. A changing command holds the definition lock from before the load until it ends, so
// the read-change-write of every alias.exe (helper files included) runs one at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ExtIniFile.h"
#include "ExtMem.h"
#include "Handle.h"
#include "ProgramFolder.h"

// A named mutex shared by every alias.exe that works on the same definition file.
class TDefinitionLock {
  public:
    TDefinitionLock() = default;
    ~TDefinitionLock();
    TDefinitionLock(const TDefinitionLock&) = delete;
    TDefinitionLock& operator=(const TDefinitionLock&) = delete;

    // Waits up to timeoutMs for the lock of that file. A lock whose owner ended without
    // releasing it (killed) is taken over: the file itself is never half-written.
    bool Acquire(const std::string& definitionFile, DWORD timeoutMs);

  private:
    TKernelHandle FMutex;
    bool FOwned = false;
};

// The mutex name for a definition file: its full path, upper-cased (object names compare
// case-sensitively, file names do not), "\" made "/" (a "\" would name a namespace).
std::string DefinitionLockName(const std::string& definitionFile);

// Whether a changing command can go on without a definition file.
enum TFileNeed : int32_t { fnOptional = 0, fnRequired = 1 };

class TDefinitionTransaction {
  public:
    explicit TDefinitionTransaction(const TProgramFolder& folder) : FFolder(folder) {}

    // How long a changing command waits for another one to finish.
    static const DWORD kLockTimeoutMs = 5000;

    // A reading command: loads without the lock. False when no file loads: silently, unless
    // memory ran out, which is reported (and ReadReported() is true).
    bool Read();
    bool ReadReported() const { return FReadReported; }
    // A changing command: takes the lock, loads, and puts right the helper files a killed run
    // left (RecoverInterruptedChanges). False after reporting when the lock is not obtained,
    // when the file is there but cannot be read (held by another program, no access, not
    // code page 932 text, too large for memory), or, with fnRequired, when there is none; with
    // fnOptional a missing file, and only that, leaves Loaded() false and the command works on
    // the helper files alone.
    bool Begin(TFileNeed need);
    // A command that changes nothing but needs the file: loads without the lock, and reports as
    // Begin(fnRequired) does when there is none or it cannot be read. A file marked as UTF-8
    // that holds other bytes loads, as the helper reads it (Ini().EncodingValid() is false).
    bool ReadRequired();

    const TProgramFolder& Folder() const { return FFolder; }
    bool Loaded() const { return FLoaded; }
    const std::string& Path() const { return FPath; }
    TExtIniFile& Ini() { return FIni; }
    // The encoding of the loaded file: code page 932 without one.
    TTextEncoding Encoding() const { return FIni.Encoding(); }
    // A text of the command line in the file's encoding; false, after reporting, when the file
    // cannot hold it (in code page 932 a character outside it: a UTF-8 file could).
    bool FileText(const std::wstring& text, std::string& out) const;
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
    // Sets a key in memory; false, after reporting, when the store refuses the value.
    bool WriteValue(const std::string& section, const std::string& key, const std::string& value);
    // Saves once, when the model changed: a command that changes nothing writes nothing. False,
    // after reporting, when the file could not be replaced.
    bool Commit();

    // The file's bytes as loaded, kept so that a step after Commit that fails can put them back;
    // false, after reporting, when they cannot be read or held.
    bool KeepOriginal();
    bool RestoreOriginal() const;

    // The report that a change could not be stored.
    void ReportNotWritten() const;

  private:
    // Loads FPath; false after reporting a file that cannot be read, or with fnRequired none.
    bool LoadReporting(TFileNeed need);

    const TProgramFolder& FFolder;
    TDefinitionLock FLock;
    TExtIniFile FIni;
    std::string FPath;
    TExtMem FOriginal;
    bool FLoaded = false;
    bool FReadReported = false;
};

// One command's work on "alias.ini": the file is loaded once, changed in memory, and saved once. A
// command that changes anything holds the definition lock from before the load until it ends, so
// that the whole read, change and write of each alias.exe, its helper files included, runs one at
// a time and no run overwrites another's change.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "ExtIniFile.h"
#include "ExtMem.h"
#include "Handle.h"
#include "HelperFolder.h"
#include "ProgramFolder.h"
#include "Report.h"

// The name of the definition lock, a named mutex shared by every alias.exe that works on the file.
// It is named after the identity the file system gives the file's folder (its volume and file id),
// so that every spelling of the folder (a short name, a symbolic link, a mapped drive) shares one
// lock. When the folder cannot be opened, the name comes from the path's spelling instead.
std::string DefinitionLockName(const std::string& definitionFile);
// The name that releases up to 0.22 gave the lock: a hash of the full path as it is spelled. This
// lock is still taken as well, so that an older alias.exe running at the same time waits too.
std::string SpellingLockName(const std::string& definitionFile);

// Whether a changing command can go on without a definition file.
enum TFileNeed : int32_t { fnOptional = 0, fnRequired = 1 };

class TDefinitionTransaction {
  public:
    explicit TDefinitionTransaction(const TProgramFolder& folder)
        : FFolder(folder), FPath(folder.DefinitionFile()) {}
    ~TDefinitionTransaction();
    TDefinitionTransaction(const TDefinitionTransaction&) = delete;
    TDefinitionTransaction& operator=(const TDefinitionTransaction&) = delete;

    static const DWORD kLockTimeoutMs = 5000;

    // For a command that only reads: loads the file without taking the lock. When nothing loads,
    // the failure prints nothing, unless memory ran out, which has its own report.
    TFailure Read();
    // For a command that changes anything: takes the lock, loads the file, and finishes what a
    // killed run left behind (RecoverInterruptedChanges). A lock whose owner was killed is taken
    // over, which is safe because a save is never left half done. Fails for a file that cannot be
    // read. With fnOptional a missing file is no failure: Loaded() stays false, and the command
    // works on the helper files alone.
    TFailure Begin(TFileNeed need);
    // For a command that changes nothing but needs the file: loads it without the lock. A UTF-8
    // file with broken bytes loads too, since nothing will be saved to it.
    TFailure ReadRequired();

    const TProgramFolder& Folder() const { return FFolder; }
    bool Loaded() const { return FLoaded; }
    const std::string& Path() const { return FPath; }
    TExtIniFile& Ini() { return FIni; }
    const TExtIniFile& Ini() const { return FIni; }
    TTextEncoding Encoding() const { return FIni.Encoding(); }
    // Converts a text from the command line into the file's encoding, or returns a failure that
    // says the encoding cannot hold it.
    TFailure FileText(const std::wstring& text, std::string& out) const;
    // Converts a text of the file to code page 932, for a message.
    std::string Shown(const std::string& fileText) const;
    // Decodes a text of the file the way the helper reads it (FileTextToWide).
    std::wstring Decoded(const std::string& fileText) const;
    // Returns the alias whose helper is "<fileName>.exe", or null. The reserved name is never an
    // alias.
    TExtIniSection* FindAlias(const std::string& fileName) const;
    // FindAlias in the form that the helper folder's functions take it.
    TAliasOfFile AliasOfFile() const {
        return [this](const std::string& fileName) { return FindAlias(fileName); };
    }
    // Sets fileName to the name of the section's helper file. Returns false when no helper file can
    // carry the name: it must be code page 932, must not be refused (IsRefusedName), and must leave
    // room for a temporary name within the path limit.
    bool HelperName(const TExtIniSection& s, std::string& fileName) const;
    TFailure WriteValue(const std::string& section, const std::string& key,
                        const std::string& value);
    // Saves once, when the model changed: a command that changes nothing writes nothing.
    TFailure Commit();

    // Keeps a copy of the file's bytes as they are on disk, so that RestoreOriginal can put them
    // back if a step after Commit fails.
    TFailure KeepOriginal();
    bool RestoreOriginal() const;

    TFailure NotWritten() const;

  private:
    TFailure Load(TFileNeed need);

    const TProgramFolder& FFolder;
    std::string FPath;
    // The lock named after the folder, then the one that older releases take (see Begin).
    TKernelHandle FLocks[2];
    bool FLocked[2] = {false, false};
    TExtIniFile FIni;
    TExtMem FOriginal;
    bool FLoaded = false;
};

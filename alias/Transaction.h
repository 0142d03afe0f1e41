// One command's work on "alias.ini": loaded once, changed in memory, saved once. A changing
// command holds the definition lock from before the load to its end, so the read-change-write of
// every alias.exe, helper files included, runs one at a time.
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

// The definition lock: a named mutex shared by every alias.exe that works on the file, named after
// what the file system says its folder is, so every spelling of the folder (a short name, a
// symbolic link, a mapped drive) shares it; the spelling's name when the folder cannot be opened.
std::string DefinitionLockName(const std::string& definitionFile);
// The name the releases up to 0.22 gave the lock: a hash of the full path's spelling.
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

    // A reading command: loads without the lock; a silent failure when nothing loads.
    TFailure Read();
    // A changing command: takes the lock (a killed owner's too: a save is never half done), loads,
    // and finishes what a killed run left (RecoverInterruptedChanges). Fails for a file that cannot
    // be read; with fnOptional a missing one leaves Loaded() false, for the helper files alone.
    TFailure Begin(TFileNeed need);
    // A command that changes nothing but needs the file: no lock; a broken UTF-8 file loads too.
    TFailure ReadRequired();

    const TProgramFolder& Folder() const { return FFolder; }
    bool Loaded() const { return FLoaded; }
    const std::string& Path() const { return FPath; }
    TExtIniFile& Ini() { return FIni; }
    const TExtIniFile& Ini() const { return FIni; }
    TTextEncoding Encoding() const { return FIni.Encoding(); }
    // A text of the command line in the file's encoding, or why it cannot hold it.
    TFailure FileText(const std::wstring& text, std::string& out) const;
    // A text of the file for a message, in code page 932.
    std::string Shown(const std::string& fileText) const;
    // A text of the file as the helper reads it (FileTextToWide).
    std::wstring Decoded(const std::string& fileText) const;
    // The alias whose helper is "<fileName>.exe"; none for the reserved name.
    TExtIniSection* FindAlias(const std::string& fileName) const;
    // FindAlias, for the helper folder's reading.
    TAliasOfFile AliasOfFile() const {
        return [this](const std::string& fileName) { return FindAlias(fileName); };
    }
    // false when no helper file can carry the name (code page 932, IsRefusedName, a temporary name
    // within the path limit).
    bool HelperName(const TExtIniSection& s, std::string& fileName) const;
    TFailure WriteValue(const std::string& section, const std::string& key,
                        const std::string& value);
    // Saves once, when the model changed: a command that changes nothing writes nothing.
    TFailure Commit();

    // The file's bytes as loaded, kept for a step after Commit that fails.
    TFailure KeepOriginal();
    bool RestoreOriginal() const;

    TFailure NotWritten() const;

  private:
    TFailure Load(TFileNeed need);

    const TProgramFolder& FFolder;
    std::string FPath;
    // The folder's lock, then the older releases' one (see Begin).
    TKernelHandle FLocks[2];
    bool FLocked[2] = {false, false};
    TExtIniFile FIni;
    TExtMem FOriginal;
    bool FLoaded = false;
};

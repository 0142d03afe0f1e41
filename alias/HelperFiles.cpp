#include "HelperFiles.h"

#include <windows.h>

#include <vector>

#include "Alias.h"
#include "ExeType.h"
#include "Files.h"
#include "Handle.h"
#include "Messages.h"
#include "Names.h"
#include "ProgramFolder.h"
#include "Schema.h"
#include "Text.h"
#include "Transaction.h"
#include "Encoding.h"

namespace {

const char kNewSuffix[] = ".~aliasnew";
const char kOldSuffix[] = ".~aliasold";

// One value of the "041104b0" string table of a version resource; empty when missing.
std::string VersionString(const std::vector<char>& block, const char* key) {
    void* value = nullptr;
    UINT len = 0;
    const std::string query = std::string("\\StringFileInfo\\041104b0\\") + key;
    if (!VerQueryValueA(block.data(), query.c_str(), &value, &len) || !value)
        return std::string();
    // Copy up to the terminating zero, never past the value's length.
    const char* text = static_cast<const char*>(value);
    size_t n = 0;
    while (n < len && text[n])
        ++n;
    return std::string(text, n);
}

} // namespace

std::vector<std::string> FilesMatching(const TProgramFolder& folder, const std::string& pattern,
                                       uint32_t skipAttributes) {
    // Listed with the wide call: the ANSI one gives a look-alike of a name that code page 932
    // cannot hold ("cafe.exe" for "café.exe"), a file that is not there. Such a name is no
    // alias's helper and is left out, so no command ever touches its file.
    std::vector<std::string> names;
    std::wstring search;
    if (!ToWide(folder.Dir() + pattern, teCp932, search))
        return names;
    WIN32_FIND_DATAW fd;
    TFindHandle find(FindFirstFileW(search.c_str(), &fd));
    if (!find.Valid())
        return names;
    std::string name;
    do {
        if (!(fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | skipAttributes)) &&
            FromWide(fd.cFileName, teCp932, name))
            names.push_back(name);
    } while (FindNextFileW(find.Get(), &fd));
    return names;
}

bool HasExeExtension(const std::string& path) {
    return CompareLocaleNoCase(path.substr(SplitPath(path).Extension), ".exe") == 0;
}

std::string AliasOfHelperFile(const std::string& fileName) {
    return fileName.substr(0, SplitPath(fileName).Extension);
}

bool IsWindowed(const TExtIniSection& s) {
    return TakesWindowedHelper(s.ReadValue(kKeyType, ""));
}

bool IsHelperCommand(const std::string& path) {
    return HasExeExtension(path) && HasHelperVersion(path);
}

bool HasHelperVersion(const std::string& path) {
    std::string copyright, internalName;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size != 0) {
        std::vector<char> block(size);
        if (GetFileVersionInfoA(path.c_str(), handle, size, block.data())) {
            copyright = VersionString(block, "LegalCopyright");
            internalName = VersionString(block, "InternalName");
        }
    }
    return MbcsPos("Tovimar", copyright) != 0 && CompareLocaleNoCase(internalName, "orvex") == 0;
}

namespace {
const DWORD kVolumeLabel = 0x8; // FILE_ATTRIBUTE_VOLUME of old headers; never a helper
} // namespace

TFolderScan ScanFolder(const TDefinitionTransaction& t, bool examineAliasFiles) {
    TFolderScan scan;
    for (const auto& name :
         FilesMatching(t.Folder(), "*.exe", FILE_ATTRIBUTE_SYSTEM | kVolumeLabel)) {
        if (!HasExeExtension(name))
            continue;
        const std::string full = t.Folder().Dir() + name;
        const std::string alias = AliasOfHelperFile(name);
        // A refused name is never treated as defined: no command writes its file.
        const TExtIniSection* s = IsRefusedName(alias) ? nullptr : t.FindAlias(alias);
        if (s)
            scan.aliasFiles[s] = {full, examineAliasFiles && IsHelperCommand(full)};
        else if (IsHelperCommand(full))
            scan.orphans.push_back(full);
    }
    return scan;
}

THelperChange::THelperChange(const std::string& target)
    : FTarget(target), FNew(target + kNewSuffix), FOld(target + kOldSuffix) {
}

THelperChange::~THelperChange() {
    if (FFinished)
        return;
    bool restored = true;
    if (FInPlace)
        restored = MoveFileExA(FTarget.c_str(), FNew.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (FPrepared)
        DeleteFileA(FNew.c_str()); // a copy left behind goes with the next changing command
    if (FMovedAside)
        restored = MoveFileExA(FOld.c_str(), FTarget.c_str(), 0) != 0 && restored;
    if (!restored)
        ReportError(HelperFailed(FTarget, hfRestore));
}

bool THelperChange::Prepare(const std::string& templatePath) {
    FPrepared = CopyFileA(templatePath.c_str(), FNew.c_str(), FALSE) != 0;
    return FPrepared;
}

bool THelperChange::MoveOldAside() {
    if (!FileFound(FTarget))
        return true;
    // Renaming works for a running helper too, where deleting it would not.
    FMovedAside = MoveFileExA(FTarget.c_str(), FOld.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    return FMovedAside;
}

bool THelperChange::PutNewInPlace() {
    FInPlace = MoveFileExA(FNew.c_str(), FTarget.c_str(), 0) != 0;
    return FInPlace;
}

void THelperChange::Finish() {
    FFinished = true;
    // A running helper cannot be deleted; the next changing command tries again.
    if (FMovedAside)
        DeleteFileA(FOld.c_str());
}

bool HasKind(const std::string& path, bool windowed) {
    TExeType kind = etUnknown;
    std::wstring file;
    return ToWide(path, teCp932, file) && GetExeType(file, kind) == erOk &&
           (kind == etWinGui) == windowed;
}

void RecoverInterruptedChanges(const TDefinitionTransaction& t) {
    const size_t suffix = sizeof kNewSuffix - 1;
    static_assert(sizeof kNewSuffix == sizeof kOldSuffix, "one suffix length");
    // Prepared copies first: one whose alias is defined and whose name is free takes it. The
    // kill fell after the definition was saved (the copy is whole: it was made before), or
    // before, while the old helper stood aside; the definition's kind tells which is its own.
    const TProgramFolder& folder = t.Folder();
    for (const auto& name : FilesMatching(folder, std::string("*") + kNewSuffix)) {
        const std::string prepared = folder.Dir() + name;
        const std::string target = prepared.substr(0, prepared.size() - suffix);
        const std::string helperName = name.substr(0, name.size() - suffix);
        const TExtIniSection* s =
            HasExeExtension(helperName) ? t.FindAlias(AliasOfHelperFile(helperName)) : nullptr;
        if (s && !FileFound(target) && HasHelperVersion(prepared)) {
            const std::string old = target + kOldSuffix;
            const bool windowed = IsWindowed(*s);
            const bool takeOld = FileFound(old) && HasHelperVersion(old) &&
                                 HasKind(old, windowed) && !HasKind(prepared, windowed);
            MoveFileExA((takeOld ? old : prepared).c_str(), target.c_str(), 0);
        }
        DeleteFileA(prepared.c_str());
    }
    for (const auto& name : FilesMatching(folder, std::string("*") + kOldSuffix)) {
        const std::string old = folder.Dir() + name;
        const std::string target = old.substr(0, old.size() - suffix);
        const std::string helperName = name.substr(0, name.size() - suffix);
        if (HasExeExtension(helperName) && t.FindAlias(AliasOfHelperFile(helperName)) &&
            !FileFound(target))
            MoveFileExA(old.c_str(), target.c_str(), 0);
        else
            DeleteFileA(old.c_str());
    }
}

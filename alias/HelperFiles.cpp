#include "HelperFiles.h"

#include <windows.h>

#include <vector>

#include "Alias.h"
#include "ExeType.h"
#include "ExtIniFile.h"
#include "Files.h"
#include "Handle.h"
#include "Messages.h"
#include "Schema.h"
#include "Text.h"
#include "Encoding.h"

namespace {

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

THelperChange::THelperChange(const std::string& target)
    : FTarget(target), FNew(target + kNewSuffix), FOld(target + kOldSuffix) {
}

THelperChange::~THelperChange() {
    Undo(TFailure());
}

TFailure THelperChange::Undo(TFailure why) {
    if (FFinished)
        return why;
    FFinished = true;
    bool restored = true;
    if (FInPlace)
        restored = MoveFileExA(FTarget.c_str(), FNew.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (FPrepared)
        DeleteFileA(FNew.c_str()); // a copy left behind goes with the next changing command
    if (FMovedAside)
        restored = MoveFileExA(FOld.c_str(), FTarget.c_str(), 0) != 0 && restored;
    // A helper that cannot be put back is what the user must hear of.
    return restored ? why : Failure(HelperFailed(FTarget, hfRestore), GetLastError());
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

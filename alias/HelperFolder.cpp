// The helper folder: its one listing for the maintenance commands, and the protocol of a helper's
// change (the temporary names, the change itself, and the recovery of one a kill interrupted).
#include "HelperFolder.h"

#include <windows.h>

#include <memory>

#include "Encoding.h"
#include "ExtIniFile.h"
#include "Files.h"
#include "Messages.h"
#include "Names.h"
#include "ProgramFolder.h"
#include "Text.h"

namespace {

static_assert(sizeof kNewSuffix == sizeof kOldSuffix, "one suffix length");

// The helper's file name in a temporary name of its change ("a.exe" of "a.exe.~aliasnew").
std::string HelperOfTemporary(const std::string& name) {
    return name.substr(0, name.size() - (sizeof kNewSuffix - 1));
}

// Whether a file under a temporary name was left by a change of this program: its name must be a
// helper's name with the suffix, and the file must be a helper or a template's copy cut short. A
// user's "notes.txt.~aliasnew" is not. The templates are read only once, when the first such name
// is found.
bool MadeByAChange(const TProgramFolder& folder, const std::string& name, const std::string& path,
                   std::unique_ptr<THelperTemplates>& templates) {
    if (!HasExeExtension(HelperOfTemporary(name)))
        return false;
    if (!templates)
        templates.reset(new THelperTemplates(folder));
    return ExamineHelper(path, *templates) != hsNoHelper;
}

} // namespace

bool FitsHelperChange(const std::string& target) {
    std::wstring wide;
    return ToWide(target + kNewSuffix, teCp932, wide) && FitsStartLimit(wide, false);
}

bool IsShortNameOfOther(const std::string& path, std::string& other) {
    std::wstring wide;
    if (path.find('~') == std::string::npos || !ToWide(path, teCp932, wide))
        return false;
    const std::wstring full = LongPath(wide);
    const size_t a = SplitPath(wide).FileName, b = SplitPath(full).FileName;
    return FoldFileName(wide.substr(a)) != FoldFileName(full.substr(b)) &&
           FromWide(full, teCp932, other);
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
    DWORD notRestored = 0; // the error of the move that failed to put the old helper back
    if (FInPlace && !MoveFileTo(FTarget, FNew, true))
        notRestored = GetLastError();
    if (FPrepared)
        RemoveFile(FNew); // should this fail, the next changing command removes the copy
    if (FMovedAside && !MoveFileTo(FOld, FTarget, false))
        notRestored = GetLastError();
    // A helper that cannot be put back is what the user must hear of.
    return notRestored ? Failure(HelperFailed(FTarget, hfRestore), notRestored) : why;
}

bool THelperChange::Prepare(const TTemplate& from) {
    // Marked as prepared before the copy: a copy that fails part-way (a full disk) may leave a
    // file behind, and Undo must remove it.
    FPrepared = true;
    if (!from.Whole()) {
        SetLastError(from.Error());
        return false;
    }
    if (!CopyFileTo(from.Path(), FNew))
        return false;
    if (from.IsCopy(FNew))
        return true;
    // The copy came out short although the system reported no error, so there is no error of its
    // own to report; ERROR_WRITE_FAULT stands in for one.
    SetLastError(ERROR_WRITE_FAULT);
    return false;
}

bool THelperChange::MoveOldAside() {
    if (!FileFound(FTarget))
        return true;
    // Renaming works for a running helper too, where deleting it would not.
    FMovedAside = MoveFileTo(FTarget, FOld, true);
    return FMovedAside;
}

bool THelperChange::PutNewInPlace(bool replace) {
    FInPlace = MoveFileTo(FNew, FTarget, replace);
    return FInPlace;
}

void THelperChange::Finish() {
    FFinished = true;
    // A running helper cannot be deleted; in that case the next changing command tries again.
    if (FMovedAside)
        RemoveFile(FOld);
}

static const DWORD kVolumeLabel = 0x8; // FILE_ATTRIBUTE_VOLUME of older headers: never a helper

TFolderScan ScanFolder(const TProgramFolder& folder, const TAliasOfFile& aliasOf,
                       const THelperTemplates& templates, bool examineAliasFiles) {
    TFolderScan scan;
    for (const auto& name : folder.List("*.exe", FILE_ATTRIBUTE_SYSTEM | kVolumeLabel)) {
        if (!HasExeExtension(name))
            continue;
        const std::string full = folder.Dir() + name;
        const std::string alias = AliasOfHelperFile(name);
        // A refused name is never treated as defined, because no command ever writes its helper.
        const TExtIniSection* s = IsRefusedName(alias) ? nullptr : aliasOf(alias);
        if (s)
            scan.aliasFiles[s] = {full,
                                  examineAliasFiles ? ExamineHelper(full, templates) : hsNoHelper};
        else if (ExamineHelper(full, templates) != hsNoHelper)
            scan.orphans.push_back(full);
    }
    return scan;
}

TFailure RecoverInterruptedChanges(const TProgramFolder& folder, const TAliasOfFile& aliasOf) {
    // Returns the alias of the helper that a left file stands for, when that alias is defined and
    // the helper's name is free; otherwise null. target gets the helper's path either way.
    auto pending = [&](const std::string& name, std::string& target) -> const TExtIniSection* {
        const std::string helper = HelperOfTemporary(name);
        target = folder.Dir() + helper;
        return HasExeExtension(helper) && !FileFound(target) ? aliasOf(AliasOfHelperFile(helper))
                                                             : nullptr;
    };
    TFailure failed;
    auto take = [&failed](const std::string& from, const std::string& target) {
        if (MoveFileTo(from, target, false))
            return true;
        const DWORD error = GetLastError();
        failed.Add(Failure(HelperFailed(target, hfRestore), error));
        return false;
    };
    std::unique_ptr<THelperTemplates> templates;
    auto madeHere = [&](const std::string& name, const std::string& path) {
        return MadeByAChange(folder, name, path, templates);
    };
    // Prepared copies first. The kill came either after the definition was saved or before it,
    // while the old helper stood aside. The kind (console or windowed) that the definition asks for
    // tells which of the two helpers is the alias's own.
    std::string target;
    for (const auto& name : folder.List(std::string("*") + kNewSuffix)) {
        const std::string prepared = folder.Dir() + name;
        const TExtIniSection* s = pending(name, target);
        bool preparedWindowed = false, oldWindowed = false;
        if (s && IsWholeHelper(prepared, &preparedWindowed)) {
            const std::string old = target + kOldSuffix;
            const bool windowed = IsWindowed(*s);
            const bool takeOld = FileFound(old) && IsWholeHelper(old, &oldWindowed) &&
                                 oldWindowed == windowed && preparedWindowed != windowed;
            if (!take(takeOld ? old : prepared, target))
                continue;
        }
        if (madeHere(name, prepared))
            RemoveFile(prepared);
    }
    for (const auto& name : folder.List(std::string("*") + kOldSuffix)) {
        const std::string old = folder.Dir() + name;
        if (!madeHere(name, old))
            continue;
        if (pending(name, target))
            take(old, target);
        else
            RemoveFile(old);
    }
    return failed;
}

std::vector<std::string> HelpersLeftAside(const TProgramFolder& folder) {
    std::vector<std::string> left;
    std::unique_ptr<THelperTemplates> templates;
    for (const auto& name : folder.List(std::string("*") + kOldSuffix))
        if (MadeByAChange(folder, name, folder.Dir() + name, templates))
            left.push_back(name);
    return left;
}

// Keeping helper commands in step with "alias.ini": /del, /clear, /clear all, /apply, /update.
// Each loads the file once and looks names up in memory, so the work grows with the number of
// aliases and helpers, never with its square.
#include "Alias.h"

#include <windows.h>

#include <vector>

#include "Files.h"
#include "HelperFiles.h"
#include "Messages.h"
#include "Names.h"
#include "Text.h"
#include "Transaction.h"

namespace {

// Deletes a file the command no longer wants, noting one that could not go.
void Delete(const std::string& path, TFailure& failed) {
    if (!DeleteFileA(path.c_str()))
        failed.Add(Failure(HelperFailed(path, hfDelete), GetLastError()));
}

// Deletes the orphaned helper commands and, with all, those of defined aliases too. The
// listing has ended by then, so the folder is not changed while it is listed.
void RemoveHelpers(const TFolderScan& scan, bool all, TFailure& failed) {
    for (const auto& path : scan.orphans)
        Delete(path, failed);
    if (all)
        for (const auto& file : scan.aliasFiles)
            if (file.second.helper)
                Delete(file.second.path, failed);
}

} // namespace

TFailure DeleteAlias(const TProgramFolder& folder, const std::wstring& wideName) {
    // A name that could never be registered names no helper command either; refusing it keeps
    // "/del ..\x" from deleting outside the program folder.
    std::string name;
    if (TFailure f = HelperFileName(wideName, name))
        return f;
    if (IsRefusedName(name))
        return SilentFailure();
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Begin(fnOptional))
        return f;
    const std::string path = folder.HelperPath(name);
    // The helper is only moved aside until the definition is gone, so a failure on either
    // side leaves both as they were.
    THelperChange helper(path);
    if (IsExistingFile(path) && !helper.MoveOldAside())
        return helper.Undo(Failure(HelperFailed(path, hfDelete), GetLastError()));
    if (const TExtIniSection* s = t.FindAlias(name)) {
        t.Ini().DeleteSection(s->Name());
        if (TFailure f = t.Commit())
            return helper.Undo(f);
    }
    helper.Finish();
    return TFailure();
}

TFailure RemoveHelperCommands(const TProgramFolder& folder, bool all) {
    TDefinitionTransaction t(folder);
    TFailure failed = t.Begin(fnOptional);
    if (!failed)
        RemoveHelpers(ScanFolder(t, all), all, failed);
    return failed;
}

TFailure ClearAll(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Begin(fnOptional))
        return f;
    const TFolderScan scan = ScanFolder(t, false);
    TFailure failed;
    if (t.Loaded()) {
        // The definitions go first: when they cannot be saved, no helper has gone either.
        std::vector<std::string> names;
        for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next())
            if (!IsReservedName(s->Name()))
                names.push_back(s->Name());
        // Each alias's own "<name>.exe" goes whatever it is, as with /del.
        std::vector<std::string> aliasFiles;
        for (const auto& file : scan.aliasFiles)
            aliasFiles.push_back(file.second.path);
        // Sections go in file order, so each is found at the front of what is left.
        for (const auto& name : names)
            t.Ini().DeleteSection(name);
        if (TFailure f = t.Commit())
            return f;
        for (const auto& path : aliasFiles)
            Delete(path, failed);
    }
    RemoveHelpers(scan, false, failed);
    return failed;
}

TFailure RebuildHelperCommands(const TProgramFolder& folder, bool all) {
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Begin(fnOptional))
        return f;
    const TFolderScan scan = ScanFolder(t, all);
    TFailure failed;
    RemoveHelpers(scan, false, failed);
    // A damaged template (cut short, or some other file) is never copied: its copies could not
    // start.
    const bool templateWhole[2] = {HasHelperVersion(folder.TemplatePath(false)),
                                   HasHelperVersion(folder.TemplatePath(true))};
    if (!t.Loaded())
        return failed;
    for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next()) {
        if (IsReservedName(s->Name()))
            continue;
        // A hand-edited section may name no plain file of the program folder ("..\x", "CON",
        // a name code page 932 cannot hold).
        std::string name;
        if (!t.HelperName(*s, name)) {
            failed.Add(Failure(NameRefused(t.Shown(s->Name()))));
            continue;
        }
        const auto file = scan.aliasFiles.find(s);
        const bool exists = file != scan.aliasFiles.end();
        // An existing helper stays (with all it is renewed); a file of that name that is no
        // helper always stays.
        if (exists && !(all && file->second.helper))
            continue;
        const bool windowed = IsWindowed(*s);
        const std::string templatePath = folder.TemplatePath(windowed);
        const std::string target = exists ? file->second.path : folder.HelperPath(name);
        bool copied;
        if (!templateWhole[windowed]) {
            copied = false;
        } else if (exists) {
            // Written over in place rather than deleted and made anew: the same result, and a
            // helper that is running (and so cannot be replaced) is reported, not lost.
            copied = CopyFileA(templatePath.c_str(), target.c_str(), FALSE) != 0;
        } else {
            // Never over a file that appeared since the listing.
            copied = CopyFileA(templatePath.c_str(), target.c_str(), TRUE) ||
                     GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS;
        }
        if (!copied)
            failed.Add(Failure(HelperFailed(target, hfUpdate), GetLastError()));
    }
    return failed;
}

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

// Deletes the orphaned helper commands and, with all, those of defined aliases too. The
// listing has ended by then, so the folder is not changed while it is listed. The error line
// for the last file that could not be deleted, or empty when every deletion worked.
std::string RemoveHelpers(const TFolderScan& scan, bool all) {
    std::string failed;
    for (const auto& path : scan.orphans)
        if (!DeleteFileA(path.c_str()))
            failed = path;
    if (all)
        for (const auto& file : scan.aliasFiles)
            if (file.second.helper && !DeleteFileA(file.second.path.c_str()))
                failed = file.second.path;
    return failed.empty() ? failed : HelperFailed(failed, hfDelete);
}

// Reports the last failure of a command that went on after it; true when there was none.
bool ReportLast(const std::string& failure) {
    if (failure.empty())
        return true;
    ReportError(failure);
    return false;
}

} // namespace

bool DeleteAlias(const TProgramFolder& folder, const std::wstring& wideName) {
    // A name that could never be registered names no helper command either; refusing it keeps
    // "/del ..\x" from deleting outside the program folder.
    std::string name;
    if (!HelperFileName(wideName, name) || IsRefusedName(name))
        return false;
    TDefinitionTransaction t(folder);
    if (!t.Begin(fnOptional))
        return false;
    const std::string path = folder.HelperPath(name);
    // The helper is only moved aside until the definition is gone, so a failure on either
    // side leaves both as they were.
    THelperChange helper(path);
    if (IsExistingFile(path) && !helper.MoveOldAside()) {
        ReportError(HelperFailed(path, hfDelete));
        return false;
    }
    if (const TExtIniSection* s = t.FindAlias(name)) {
        t.Ini().DeleteSection(s->Name());
        if (!t.Commit())
            return false;
    }
    helper.Finish();
    return true;
}

bool RemoveHelperCommands(const TProgramFolder& folder, bool all) {
    TDefinitionTransaction t(folder);
    if (!t.Begin(fnOptional))
        return false;
    return ReportLast(RemoveHelpers(ScanFolder(t, all), all));
}

bool ClearAll(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    if (!t.Begin(fnOptional))
        return false;
    const TFolderScan scan = ScanFolder(t, false);
    std::string failure;
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
        if (!t.Commit())
            return false;
        for (const auto& path : aliasFiles)
            if (!DeleteFileA(path.c_str()))
                failure = HelperFailed(path, hfDelete);
    }
    const std::string orphans = RemoveHelpers(scan, false);
    return ReportLast(orphans.empty() ? failure : orphans);
}

bool RebuildHelperCommands(const TProgramFolder& folder, bool all) {
    TDefinitionTransaction t(folder);
    if (!t.Begin(fnOptional))
        return false;
    const TFolderScan scan = ScanFolder(t, all);
    std::string message = RemoveHelpers(scan, false);
    // A damaged template (cut short, or some other file) is never copied: its copies could not
    // start.
    const bool templateWhole[2] = {HasHelperVersion(folder.TemplatePath(false)),
                                   HasHelperVersion(folder.TemplatePath(true))};
    if (!t.Loaded())
        return ReportLast(message);
    bool refused = false;
    for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next()) {
        if (IsReservedName(s->Name()))
            continue;
        // A hand-edited section may name no plain file of the program folder ("..\x", "CON",
        // a name code page 932 cannot hold).
        std::string name;
        if (!t.HelperName(*s, name)) {
            ReportError(NameRefused(t.Shown(s->Name())));
            refused = true;
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
            message = HelperFailed(target, hfUpdate);
    }
    return ReportLast(message) && !refused;
}

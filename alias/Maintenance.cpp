// /del, /clear, /clear all, /apply and /update. Each of them loads the file once and looks names up
// in memory, so the work grows with the number of aliases and helpers, never with its square.
#include "Alias.h"

#include <windows.h>

#include <list>
#include <vector>

#include "Files.h"
#include "HelperFolder.h"
#include "Messages.h"
#include "Names.h"
#include "Text.h"
#include "Transaction.h"

namespace {

// Deletes a file that the command no longer wants, and adds a failure to failed when the file could
// not be deleted.
void Delete(const std::string& path, TFailure& failed) {
    if (!RemoveFile(path)) {
        const DWORD error = GetLastError();
        failed.Add(Failure(HelperFailed(path, hfDelete), error));
    }
}

// Deletes the orphaned helpers and, when all is true, the helpers of defined aliases too. This runs
// only after the listing of the folder has ended.
void RemoveHelpers(const TFolderScan& scan, bool all, TFailure& failed) {
    for (const auto& path : scan.orphans)
        Delete(path, failed);
    if (all)
        for (const auto& file : scan.aliasFiles)
            if (file.second.state != hsNoHelper)
                Delete(file.second.path, failed);
}

} // namespace

TFailure DeleteAlias(const TProgramFolder& folder, const std::wstring& wideName) {
    // A name that could never be registered has no helper, so "/del ..\x" never deletes anything
    // outside the program folder.
    std::string name;
    if (TFailure f = HelperFileName(wideName, name))
        return f;
    if (IsRefusedName(name))
        return SilentFailure();
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Begin(fnOptional))
        return f;
    const std::string path = folder.HelperPath(name);
    // The helper is only moved aside until the definition is gone, so a failure of either step
    // leaves both as they were. When the name is the short name of another helper's file, it
    // names that helper, not this alias's, which is then left alone.
    THelperChange helper(path);
    std::string other;
    if (!IsShortNameOfOther(path, other) && IsExistingFile(path) && !helper.MoveOldAside()) {
        const DWORD error = GetLastError();
        return helper.Undo(Failure(HelperFailed(path, hfDelete), error));
    }
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
    TFolderScan scan;
    TFailure failed = t.Begin(fnOptional);
    if (!failed)
        failed = ScanFolder(t.Folder(), t.AliasOfFile(), THelperTemplates(folder), all, scan);
    if (!failed)
        RemoveHelpers(scan, all, failed);
    return failed;
}

TFailure ClearAll(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Begin(fnOptional))
        return f;
    TFolderScan scan;
    if (TFailure f = ScanFolder(t.Folder(), t.AliasOfFile(), THelperTemplates(folder), false, scan))
        return f;
    TFailure failed;
    if (t.Loaded()) {
        // Each alias's own "<name>.exe" is removed whatever it is, as with /del. It is moved aside
        // first, so a definition is removed only together with its helper, and when the file
        // cannot be saved, no helper has been removed either. An alias whose helper cannot be
        // moved keeps its definition.
        std::list<THelperChange> helpers;
        std::vector<std::string> names;
        for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next()) {
            if (IsReservedName(s->Name()))
                continue;
            const auto file = scan.aliasFiles.find(s);
            if (file != scan.aliasFiles.end()) {
                helpers.emplace_back(file->second.path);
                if (!helpers.back().MoveOldAside()) {
                    const DWORD error = GetLastError();
                    failed.Add(helpers.back().Undo(
                        Failure(HelperFailed(file->second.path, hfDelete), error)));
                    continue;
                }
            }
            names.push_back(s->Name());
        }
        // Sections are deleted in file order, so each one is found at the front of what is left,
        // and the search for it stays short.
        for (const auto& name : names)
            t.Ini().DeleteSection(name);
        if (TFailure f = t.Commit()) {
            for (auto& helper : helpers)
                f.Add(helper.Undo(TFailure()));
            return f;
        }
        for (auto& helper : helpers)
            helper.Finish();
    }
    RemoveHelpers(scan, false, failed);
    return failed;
}

TFailure RebuildHelperCommands(const TProgramFolder& folder, bool all) {
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Begin(fnOptional))
        return f;
    // Each template is read once. A damaged one (cut short, or some other file in its place) is
    // never copied.
    const THelperTemplates templates(folder);
    TFolderScan scan;
    if (TFailure f = ScanFolder(t.Folder(), t.AliasOfFile(), templates, true, scan))
        return f;
    TFailure failed;
    RemoveHelpers(scan, false, failed);
    if (!t.Loaded())
        return failed;
    for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next()) {
        if (IsReservedName(s->Name()))
            continue;
        // A hand-edited name may not be a plain file name at all ("..\x", "CON").
        std::string name;
        if (!t.HelperName(*s, name)) {
            failed.Add(Failure(NameRefused(t.Shown(s->Name()))));
            continue;
        }
        const auto file = scan.aliasFiles.find(s);
        const bool exists = file != scan.aliasFiles.end();
        // A whole helper is renewed only with all, and a damaged one always. A file that is not a
        // helper stays as it is.
        const THelperState state = exists ? file->second.state : hsNoHelper;
        if (exists && (state == hsNoHelper || (state == hsWhole && !all)))
            continue;
        const std::string target = exists ? file->second.path : folder.HelperPath(name);
        std::string other;
        if (!exists && IsShortNameOfOther(target, other)) {
            failed.Add(Failure(ShortNameOfOther(t.Shown(s->Name()), other)));
            continue;
        }
        // The new copy is checked to be whole before it takes the helper's name, so a full disk
        // leaves either the old helper as it was or no helper at all. A running helper cannot be
        // replaced, but it can be moved aside, as registration does.
        THelperChange helper(target);
        if (helper.Prepare(templates.Of(*s)) && (!exists || helper.MoveOldAside()) &&
            helper.PutNewInPlace()) {
            helper.Finish();
            continue;
        }
        const DWORD error = GetLastError();
        // A file that appeared since the listing is never replaced; that is not a failure.
        failed.Add(helper.Undo(!exists && error == ERROR_ALREADY_EXISTS
                                   ? TFailure()
                                   : Failure(HelperFailed(target, hfUpdate), error)));
    }
    return failed;
}

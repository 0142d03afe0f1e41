// Keeping helper commands in step with "alias.ini": /del, /clear, /clear all, /apply, /update.
// Each loads the file once and looks names up in memory, so the work grows with the number of
// aliases and helpers, never with its square.
#include "Alias.h"

#include <windows.h>

#include <vector>

#include "Handle.h"
#include "HelperFiles.h"
#include "Names.h"
#include "ProgramFolder.h"
#include "TextUtils.h"
#include "Transaction.h"

namespace {

const DWORD kVolumeLabel = 0x8; // FILE_ATTRIBUTE_VOLUME of old headers; never a helper

// Deletes the helper commands in the program folder; with all false only those whose alias is
// not defined. True when every deletion worked.
bool RemoveHelpers(const TDefinitionTransaction& t, bool all) {
    std::vector<std::string> doomed;
    WIN32_FIND_DATAA fd;
    {
        TFindHandle find(FindFirstFileA((ExeDir + "*.exe").c_str(), &fd));
        if (find.Valid()) {
            do {
                if (fd.dwFileAttributes &
                    (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM | kVolumeLabel))
                    continue;
                const std::string name = fd.cFileName;
                const std::string full = ExeDir + name;
                if (!IsHelperCommand(full))
                    continue;
                if (!all && name.size() >= 4 && t.FindAlias(name.substr(0, name.size() - 4)))
                    continue;
                doomed.push_back(full);
            } while (FindNextFileA(find.Get(), &fd));
        }
    }
    // Deleting only after the listing has ended keeps the folder unchanged while it is listed.
    bool ok = true;
    for (const auto& path : doomed)
        if (!DeleteFileA(path.c_str()))
            ok = false;
    return ok;
}

void ReportRefusedName(const std::string& name) {
    ReportError(name + " の名前で登録することはできません。");
}

} // namespace

bool DeleteAlias(const std::string& name) {
    // A name that could never be registered names no helper command either; refusing it keeps
    // "/del ..\x" from deleting outside the program folder.
    if (IsRefusedName(name))
        return false;
    TDefinitionTransaction t;
    if (!t.Begin(fnOptional))
        return false;
    RecoverInterruptedChanges(t);
    const std::string path = HelperPath(name);
    // The helper is only moved aside until the definition is gone, so a failure on either
    // side leaves both as they were.
    THelperChange helper(path);
    if (IsExistingFile(path) && !helper.MoveOldAside()) {
        ReportError("ヘルパ コマンド" + path + "の削除に失敗しました。");
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

bool RemoveHelperCommands(bool all) {
    TDefinitionTransaction t;
    if (!t.Begin(fnOptional))
        return false;
    return RemoveHelpers(t, all);
}

bool ClearAll() {
    TDefinitionTransaction t;
    if (!t.Begin(fnOptional))
        return false;
    RecoverInterruptedChanges(t);
    if (t.Loaded()) {
        // Sections go in file order, so each is found at the front of what is left. The
        // definitions go first: when they cannot be saved, no helper has gone either.
        std::vector<std::string> names;
        for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next())
            if (!IsReservedName(s->Name()))
                names.push_back(s->Name());
        for (const auto& name : names)
            t.Ini().DeleteSection(name);
        if (!names.empty() && !t.Commit())
            return false;
        for (const auto& name : names) {
            const std::string path = HelperPath(name);
            if (!IsRefusedName(name) && IsExistingFile(path) && !DeleteFileA(path.c_str()))
                ReportError("ヘルパ コマンド" + path + "の削除に失敗しました。");
        }
    }
    RemoveHelpers(t, true);
    return true;
}

bool RebuildHelperCommands(bool all) {
    TDefinitionTransaction t;
    if (!t.Begin(fnOptional))
        return false;
    RecoverInterruptedChanges(t);
    RemoveHelpers(t, all);
    if (!t.Loaded())
        return true;
    bool refused = false;
    std::string message;
    for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next()) {
        const std::string& name = s->Name();
        if (IsReservedName(name))
            continue;
        // A hand-edited section may name no plain file of the program folder ("..\x", "CON").
        if (IsRefusedName(name)) {
            ReportRefusedName(name);
            refused = true;
            continue;
        }
        const std::string target = HelperPath(name);
        if (FileFound(target))
            continue;
        const bool gui = CompareLocaleNoCase(s->ReadValue("type", ""), "GUI") == 0;
        if (!CopyFileA(TemplatePath(gui).c_str(), target.c_str(), FALSE))
            message = "ヘルパ コマンド" + target + "の更新に失敗しました。";
    }
    if (!message.empty())
        ReportError(message);
    return message.empty() && !refused;
}

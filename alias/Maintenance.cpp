// Keeping helper commands in step with "alias.ini": /del, /clear, /clear all, /apply, /update.
#include "Alias.h"

#include <windows.h>

#include <vector>

#include "Handle.h"
#include "TextUtils.h"

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

bool IsHelperCommand(const std::string& path) {
    const std::string filePart = path.substr(LastCharPos("\\", path));
    const size_t dot = LastCharPos(".", filePart);
    const std::string ext = dot ? filePart.substr(dot - 1) : filePart;
    if (CompareLocaleNoCase(ext, ".exe") != 0)
        return false;
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

bool DeleteAlias(const std::string& name) {
    // A name that could never be registered names no helper command either; refusing it keeps
    // "/del ..\x" from deleting outside the program folder.
    if (IsRefusedName(name))
        return false;
    if (!RemoveDefinition(name))
        return false;
    const std::string path = ExeDir + name + ".exe";
    if (IsExistingFile(path) && !DeleteFileA(path.c_str())) {
        ReportError("ヘルパ コマンド" + path + "の削除に失敗しました。");
        return false;
    }
    return true;
}

bool ListAliasNames(std::vector<std::string>& names) {
    names.clear();
    TExtIniFile ini;
    if (!ini.LoadFromFile(FindDefinitionFile()))
        return false;
    for (TExtIniSection* s = ini.SectionAt(0); s; s = s->Next())
        if (!IsReservedName(s->Name()))
            names.push_back(s->Name());
    return true;
}

bool RemoveHelperCommands(bool all) {
    std::vector<std::string> doomed;
    WIN32_FIND_DATAA fd;
    {
        TFindHandle find(FindFirstFileA((ExeDir + "*.exe").c_str(), &fd));
        if (find.Valid()) {
            do {
                if (fd.dwFileAttributes &
                    (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */))
                    continue;
                const std::string name = fd.cFileName;
                const std::string full = ExeDir + name;
                if (!IsHelperCommand(full))
                    continue;
                if (!all && name.size() >= 4 && AliasExists(name.substr(0, name.size() - 4)))
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

bool ClearAll() {
    std::vector<std::string> names;
    ListAliasNames(names);
    for (const auto& name : names)
        DeleteAlias(name);
    RemoveHelperCommands(true);
    return true;
}

bool RebuildHelperCommands(bool all) {
    RemoveHelperCommands(all);
    std::vector<std::string> names;
    ListAliasNames(names);
    std::string message;
    for (const auto& name : names) {
        const std::string target = ExeDir + name + ".exe";
        if (FileFound(target))
            continue;
        const bool gui = CompareLocaleNoCase(ReadAliasValue(name, "type"), "GUI") == 0;
        const std::string templatePath = ExeDir + (gui ? "rudi.ex_" : "dovoz.ex_");
        if (!CopyFileA(templatePath.c_str(), target.c_str(), FALSE))
            message = "ヘルパ コマンド" + target + "の更新に失敗しました。";
    }
    if (!message.empty()) {
        ReportError(message);
        return false;
    }
    return true;
}

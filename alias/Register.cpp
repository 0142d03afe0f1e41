// Registering an alias: choosing the template, creating <name>.exe and writing the definition.
#include "Alias.h"

#include <windows.h>

#include "ExeType.h"
#include "LocaleCase.h"
#include "ProgramPaths.h"
#include "TextUtils.h"

namespace {

// Command-interpreter built-ins, which only run through the interpreter.
const char* const kShellBuiltins[] = {
    "CALL",  "CHCP",   "RENAME", "REN",  "ERASE", "DEL",   "DIR",    "TYPE",  "REM", "COPY",
    "DATE",  "TIME",   "VER",    "VOL",  "CD",    "CHDIR", "MD",     "MKDIR", "RD",  "RMDIR",
    "BREAK", "VERIFY", "PATH",   "CTTY", "ECHO",  "LOCK",  "UNLOCK", "CLS"};

std::string TypeText(TAliasKind kind) {
    switch (kind) {
    case akGui:
        return "GUI";
    case akDos:
        return "DOS";
    default:
        return "console";
    }
}

} // namespace

bool IsRefusedName(const std::string& name) {
    if (IsReservedName(name))
        return true;
    // The name becomes a file name beside alias.exe: separators would reach outside that folder
    // and the other characters cannot stand in a file name at all.
    const size_t n = name.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = name[i];
        if (IsLeadByte(c) && i + 1 < n && IsTrailByte(name[i + 1])) {
            ++i;
            continue;
        }
        if (c < 0x20 || std::string("\\/:<>\"|?*").find(char(c)) != std::string::npos)
            return true;
    }
    return false;
}

bool IsShellBuiltin(const std::string& program) {
    const std::string upper = UpperLocale(program);
    for (const char* name : kShellBuiltins)
        if (upper == name)
            return true;
    return false;
}

std::string ResolveProgramPath(const std::string& program) {
    std::string text = program;
    const std::string filePart = text.substr(LastCharPos("\\/", text));
    if (LastCharPos(".", filePart) == 0)
        text += ".exe";
    if (LastCharPos("\\/", text) != 0)
        return IsExistingFile(text) ? text : std::string();
    std::string found;
    return SearchProgramFile(text, found) ? found : std::string();
}

bool RemoveDefinition(const std::string& name) {
    if (IsReservedName(name))
        return false;
    if (!AliasExists(name))
        return true;
    TExtIniFile ini;
    if (!ini.LoadFromFile(FindDefinitionFile()))
        return false;
    ini.DeleteSection(name);
    ini.Save();
    return true;
}

bool RegisterAlias(const std::string& name, const std::string& program,
                   const std::vector<std::string>& params, TAliasKind kind) {
    if (IsRefusedName(name)) {
        ReportError(name + " の名前で登録することはできません。");
        return false;
    }
    if (kind == akAuto) {
        if (IsShellBuiltin(program)) {
            kind = akDos;
        } else {
            const std::string found = ResolveProgramPath(program);
            TExeType type = etUnknown;
            if (found.empty() || GetExeType(found, type) != erOk) {
                ReportError("指定されたアプリケーションが見つかりません。");
                return false;
            }
            kind = (type == etWin16 || type == etWinGui) ? akGui : akConsole;
        }
    }
    const std::string paramText = JoinParams(params);
    const std::string templatePath = ExeDir + (kind == akGui ? "rudi.ex_" : "dovoz.ex_");
    const std::string target = ExeDir + name + ".exe";
    if (!IsExistingFile(templatePath)) {
        ReportError("ヘルパ コマンド テンプレート" + templatePath + "が見つかりません。");
        return false;
    }
    if (!AliasExists(name) && FileFound(target)) {
        ReportError("作成するヘルパ コマンド" + target + "と同名のファイルが存在します。");
        return false;
    }
    if (!CopyFileA(templatePath.c_str(), target.c_str(), AliasExists(name) ? FALSE : TRUE)) {
        ReportError("ヘルパ コマンド" + target + "の作成に失敗しました。");
        return false;
    }
    if (AliasExists(name) && !RemoveDefinition(name))
        return false;
    WriteAliasValue(name, "type", TypeText(kind));
    WriteAliasValue(name, "app", program);
    WriteAliasValue(name, "param", paramText);
    WriteAliasValue(name, "dir", "");
    return true;
}

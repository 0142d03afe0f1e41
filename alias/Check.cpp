// alias /check: what would fail, found before it does. It reads "alias.ini" and the program
// folder, changes nothing and takes no lock, and writes one line per problem, the alias named
// first, in the order of the file. Each rule is the one the helper or the manager applies:
// the program is searched for with the helper's search and the alias's env: entries applied,
// helper files are told apart as /apply and /update tell them, names and values are refused as
// registration and the helper refuse them.
#include "Alias.h"

#include <windows.h>

#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Encoding.h"
#include "ExtIniFile.h"
#include "Files.h"
#include "Grow.h"
#include "HandedOn.h"
#include "HelperFiles.h"
#include "Messages.h"
#include "Names.h"
#include "Schema.h"
#include "Text.h"
#include "Transaction.h"

namespace {

// Whether a variable is set, and its value.
struct TVariable {
    std::wstring Name, Value;
    bool Set;
};

// An alias's env: entries applied to this process as the helper applies them to its own, and
// taken back before the next alias is checked.
class TAppliedEnvironment {
  public:
    TAppliedEnvironment() = default;
    TAppliedEnvironment(const TAppliedEnvironment&) = delete;
    TAppliedEnvironment& operator=(const TAppliedEnvironment&) = delete;
    // Puts every variable back as it was; the name of one that could not be, or empty.
    std::wstring Restore() {
        std::wstring failed;
        for (auto v = FBefore.rbegin(); v != FBefore.rend(); ++v)
            if (!SetEnvironmentVariableW(v->Name.c_str(), v->Set ? v->Value.c_str() : nullptr) &&
                v->Set)
                failed = v->Name;
        FBefore.clear();
        return failed;
    }

    // The entries in file order, of equal keys the first (as the helper reads them); null, or
    // the report of the entry that the helper would refuse, with key set to its key.
    const char* Apply(const TExtIniSection& s, TTextEncoding encoding, std::string& key) {
        std::string name, value;
        for (const TExtIniItem* item = s.First(); item; item = item->Next()) {
            if (!ReadEnvEntry(*item, name, value) || s.FindItem(item->Key()) != item)
                continue;
            TVariable before;
            if (StoredValueText(name, encoding, before.Name)) {
                before.Value = EnvironmentValue(before.Name.c_str());
                before.Set = GetEnvironmentVariableW(before.Name.c_str(), nullptr, 0) != 0;
                FBefore.push_back(before);
            }
            if (const char* failure = ApplyEnvEntry(name, value, encoding)) {
                key = kEnvPrefix + name;
                return failure;
            }
        }
        return nullptr;
    }

  private:
    std::vector<TVariable> FBefore;
};

// The command prompt's search for a typed name, the current folder aside: each folder of PATH
// in order, each with the extensions of PATHEXT, up to the program folder. The folders before
// it are listed once each.
class TPromptSearch {
  public:
    explicit TPromptSearch(const std::string& programDir) {
        std::wstring extensions = EnvironmentValue(L"PATHEXT");
        if (extensions.empty())
            extensions = L".COM;.EXE;.BAT;.CMD"; // the prompt's own when there is none
        std::wstring entry;
        std::string narrow;
        for (size_t at = 0; NextListEntry(extensions, at, entry);)
            if (!entry.empty() && FromWide(entry, teCp932, narrow))
                FExtensions.push_back(narrow);
        std::wstring program;
        ToWide(programDir, teCp932, program);
        const std::wstring path = EnvironmentValue(L"PATH");
        std::unordered_set<std::wstring> listed;
        for (size_t at = 0; !FReached && NextListEntry(path, at, entry);) {
            if (entry.empty())
                continue;
            FReached = IsSameFile(entry, program);
            if (!FReached && listed.insert(FolderKey(entry)).second)
                List(entry);
        }
    }

    // The program folder is on PATH.
    bool Reached() const { return FReached; }
    // The program the prompt finds for a helper's name (code page 932) before the program
    // folder's; empty when none.
    std::string Before(const std::string& name) const {
        std::vector<std::string> keys;
        for (const auto& extension : FExtensions)
            keys.push_back(FileNameKey(name + extension, teCp932));
        for (const TFolder& folder : FFolders)
            for (const auto& key : keys) {
                const auto file = folder.Files.find(key);
                if (file != folder.Files.end())
                    return folder.Shown + file->second;
            }
        return std::string();
    }

  private:
    struct TFolder {
        std::string Shown; // the folder as PATH names it, ending in a separator
        std::unordered_map<std::string, std::string> Files; // FileNameKey -> file name
    };

    // One key for the spellings of a folder: its full path, folded as file names are, without
    // a trailing separator.
    static std::wstring FolderKey(const std::wstring& folder) {
        std::wstring full;
        if (!FillGrowing(full, [&](wchar_t* buffer, size_t capacity) {
                return size_t(GetFullPathNameW(folder.c_str(), DWORD(capacity), buffer, nullptr));
            }))
            full = folder;
        while (!full.empty() && IsPathSeparator(full.back()))
            full.pop_back();
        return FoldFileName(full);
    }

    void List(const std::wstring& entry) {
        TFolder folder;
        const std::wstring dir = IsPathSeparator(entry.back()) ? entry : entry + L"\\";
        folder.Shown = ShownCp932(dir);
        // A name that code page 932 cannot hold is no alias's.
        for (const auto& name : ListFolder(dir + L"*"))
            folder.Files.emplace(FileNameKey(name, teCp932), name);
        FFolders.push_back(std::move(folder));
    }

    std::vector<std::string> FExtensions;
    std::vector<TFolder> FFolders;
    bool FReached = false;
};

// One run of the check: what it has read once, and whether it has found anything.
class TCheck {
  public:
    explicit TCheck(const TDefinitionTransaction& t)
        : FTransaction(t), FTemplates(t.Folder()), FScan(ScanFolder(t, FTemplates, false)),
          FPrompt(t.Folder().Dir()), FInterpreter(InterpreterPath()) {}

    void Alias(const TExtIniSection& s) {
        // The name as messages show it, and as the helper's file carries it.
        const std::string name = FTransaction.Shown(s.Name());
        std::string fileName;
        if (!FTransaction.HelperName(s, fileName)) {
            Found(NameRefused(name));
            return;
        }
        FAliases = true;
        Values(s, name, fileName);
        Helper(s, name, fileName);
        if (!FPrompt.Reached())
            return;
        const std::string program = FPrompt.Before(fileName);
        if (!program.empty())
            Found(ShadowedBy(name, program));
    }

    // What is not any one alias's: helpers without a definition, templates that cannot be
    // copied, the program folder missing from PATH. True when nothing at all was found.
    bool Finish() {
        for (const auto& path : FScan.orphans)
            Found(HelperProblem(AliasOfHelperFile(path.substr(SplitPath(path).FileName)), path,
                                hpOrphan));
        for (const bool windowed : {false, true})
            if (FTemplateNeeded[windowed] && !FTemplates[windowed].Whole())
                Found(TemplateMissing(FTemplates[windowed].Path()));
        if (FAliases && !FPrompt.Reached())
            Found(FolderNotOnPath(FTransaction.Folder().Dir()));
        return !FFound;
    }

  private:
    void Found(const std::string& line) {
        WriteMessage(line);
        FFound = true;
    }

    // The values as the helper hands them on, the program where it would find it, the
    // working folder.
    void Values(const TExtIniSection& s, const std::string& name, const std::string& fileName) {
        const TTextEncoding encoding = FTransaction.Encoding();
        const std::string app = s.ReadValue(kKeyApp, "");
        const std::string dir = s.ReadValue(kKeyDir, "");
        std::wstring wideApp, param, wideDir;
        const bool appText = StoredValueText(app, encoding, wideApp);
        const bool dirText = StoredValueText(dir, encoding, wideDir);
        if (!appText)
            Found(ValueRefused(name, kKeyApp, kValueBadText));
        if (!StoredValueText(s.ReadValue(kKeyParam, ""), encoding, param)) {
            Found(ValueRefused(name, kKeyParam, kValueBadText));
            param.clear(); // the program is still searched for
        }
        if (!dirText)
            Found(ValueRefused(name, kKeyDir, kValueBadText));
        Program(s, name, fileName, app, appText ? &wideApp : nullptr, param);
        if (dirText && !wideDir.empty() && !IsWorkingFolder(wideDir))
            Found(FolderMissing(name, FTransaction.Shown(dir)));
    }

    // The command line the helper would compose without caller text, its program found where
    // the helper would find it, the alias's env: entries applied; wideApp is null when the
    // helper could not read the value.
    void Program(const TExtIniSection& s, const std::string& name, const std::string& fileName,
                 const std::string& app, std::wstring* wideApp, const std::wstring& param) {
        // The entries apply to the search, and are taken back before the next alias: one that
        // cannot be would change what every later alias is checked in.
        TAppliedEnvironment env;
        Program(env, s, name, fileName, app, wideApp, param);
        const std::wstring stuck = env.Restore();
        if (!stuck.empty())
            Found(ValueRefused(name, Join({kEnvPrefix, ShownCp932(stuck)}), kValueNotSet));
    }

    void Program(TAppliedEnvironment& env, const TExtIniSection& s, const std::string& name,
                 const std::string& fileName, const std::string& app, std::wstring* wideApp,
                 const std::wstring& param) {
        std::string key;
        const char* failure = env.Apply(s, FTransaction.Encoding(), key);
        if (failure)
            Found(ValueRefused(name, FTransaction.Shown(key), failure));
        if (app.empty()) {
            Found(NoProgramGiven(name));
            return;
        }
        if (failure || !wideApp)
            return;
        // Passed over where the search finds the helper itself, as the helper passes over its
        // own file.
        std::wstring self, line;
        ToWide(FTransaction.Folder().HelperPath(fileName), teCp932, self);
        const bool placeArgs =
            IsSwitchOn(s.ReadValue(kKeyPlaceArgs, ""),
                       FTransaction.Ini().ReadValue(kReservedSection, kKeyPlaceArgs, ""));
        switch (ComposeLaunchLine(*wideApp, param, s.ReadValue(kKeyType, ""),
                                  FTransaction.Encoding(), FInterpreter, self, {}, placeArgs,
                                  line)) {
        case llProgramMissing:
            Found(ProgramMissing(name, FTransaction.Shown(app)));
            break;
        case llTooLong:
            Found(CommandLineTooLong(name, line.size()));
            break;
        case llComposed:
            break;
        }
    }

    // The helper file: there, a helper, of the kind the definition asks for, a copy of the
    // current template.
    void Helper(const TExtIniSection& s, const std::string& name, const std::string& fileName) {
        const bool windowed = IsWindowed(s);
        FTemplateNeeded[windowed] = true;
        const TTemplate& current = FTemplates[windowed];
        const auto file = FScan.aliasFiles.find(&s);
        if (file == FScan.aliasFiles.end()) {
            Found(HelperProblem(name, FTransaction.Folder().HelperPath(fileName), hpMissing));
            return;
        }
        const std::string& path = file->second.path;
        if (current.IsCopy(path))
            return;
        const THelperState state = ExamineHelper(path, FTemplates);
        if (state != hsWhole)
            Found(HelperProblem(name, path, state == hsDamaged ? hpDamaged : hpNotHelper));
        else if (!HasKind(path, windowed))
            Found(HelperProblem(name, path, hpOtherKind));
        else if (current.Whole())
            Found(HelperProblem(name, path, hpOldTemplate));
    }

    const TDefinitionTransaction& FTransaction;
    const THelperTemplates FTemplates;
    const TFolderScan FScan;
    const TPromptSearch FPrompt;
    const std::wstring FInterpreter; // the helper's, read before any env: entry applies
    bool FTemplateNeeded[2] = {false, false};
    bool FAliases = false;
    bool FFound = false;
};

} // namespace

TFailure CheckAliases(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    if (TFailure f = t.ReadRequired())
        return f;
    // A file marked as UTF-8 that holds other bytes works for the helpers, which read it as it
    // is checked here; that every changing command refuses it is a finding of its own.
    const bool fileSound = t.Ini().EncodingValid();
    if (!fileSound)
        WriteMessage(DefinitionFileFailed(t.Path(), dfNotUtf8));
    TCheck check(t);
    for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next())
        if (!IsReservedName(s->Name()))
            check.Alias(*s);
    return check.Finish() && fileSound ? TFailure() : SilentFailure();
}

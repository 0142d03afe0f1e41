// alias /check: what would fail, found before it does, by the rules the helper and the manager
// apply. It changes nothing, takes no lock, and writes a line per problem, the alias named first.
#include "Alias.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "BuiltinNames.h"
#include "Encoding.h"
#include "ExeType.h"
#include "ExtIniFile.h"
#include "Files.h"
#include "Launching.h"
#include "Reports.h"
#include "HelperFolder.h"
#include "Messages.h"
#include "Names.h"
#include "Schema.h"
#include "ScriptKinds.h"
#include "Text.h"
#include "Transaction.h"

namespace {

bool IsDigit(wchar_t c) {
    return c >= '0' && c <= '9';
}

// The command prompt's search for a typed name, the current folder aside: the folders of PATH
// before the program folder, each listed once, with the extensions of PATHEXT.
class TPromptSearch {
  public:
    explicit TPromptSearch(const std::string& programDir) {
        std::wstring extensions = EnvironmentValue(L"PATHEXT"), entry, program;
        if (extensions.empty())
            extensions = L".COM;.EXE;.BAT;.CMD"; // the prompt's own when there is none
        std::string narrow;
        for (size_t at = 0; NextListEntry(extensions, at, entry);)
            if (!entry.empty() && FromWide(entry, teCp932, narrow))
                FExtensions.push_back(narrow);
        ToWide(programDir, teCp932, program);
        const std::wstring path = EnvironmentValue(L"PATH");
        std::unordered_set<std::wstring> listed;
        for (size_t at = 0; !FReached && NextListEntry(path, at, entry);) {
            if (entry.empty())
                continue;
            FReached = IsSameFile(entry, program);
            // One key for a folder's spellings: its full path, folded, without a last separator.
            std::wstring key = FullPath(entry);
            while (!key.empty() && IsPathSeparator(key.back()))
                key.pop_back();
            if (!FReached && listed.insert(FoldFileName(key)).second)
                List(entry);
        }
    }

    // The program folder is on PATH.
    bool Reached() const { return FReached; }
    // What the prompt finds for a helper's name before the program folder's; empty for none.
    std::string Before(const std::string& name) const {
        std::vector<std::string> keys;
        for (const auto& extension : FExtensions)
            keys.push_back(FileNameKey(name + extension));
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
        std::string Shown; // as PATH names it, ending in a separator
        std::unordered_map<std::string, std::string> Files; // FileNameKey -> file name
    };

    void List(const std::wstring& entry) {
        TFolder folder;
        const std::wstring dir = IsPathSeparator(entry.back()) ? entry : entry + L"\\";
        folder.Shown = ShownCp932(dir);
        // A name that code page 932 cannot hold is no alias's. An entry of PATH that names no
        // folder is common, and one that cannot be listed holds nothing this check could name.
        std::vector<std::string> names;
        ListFolder(dir + L"*", names);
        for (const auto& name : names)
            folder.Files.emplace(FileNameKey(name), name);
        FFolders.push_back(std::move(folder));
    }

    std::vector<std::string> FExtensions;
    std::vector<TFolder> FFolders;
    bool FReached = false;
};

// A name with its version part (each run of digits and dots that holds a digit) as one mark,
// folded: "Tool 7" and "tool 8.1" are one shape.
std::wstring VersionShape(const std::wstring& name) {
    std::wstring shape;
    for (size_t i = 0; i < name.size();) {
        size_t end = i;
        bool digit = false;
        for (; end < name.size() && (IsDigit(name[end]) || name[end] == '.'); ++end)
            digit = digit || IsDigit(name[end]);
        shape += digit ? L'#' : name[i];
        i = digit ? end : i + 1;
    }
    return FoldFileName(shape);
}

// a comes before b, runs of digits compared by their value ("Tool 9" before "Tool 10").
bool VersionBefore(const std::wstring& a, const std::wstring& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (!IsDigit(a[i]) || !IsDigit(b[j])) {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i, ++j;
            continue;
        }
        auto number = [](const std::wstring& s, size_t& at) {
            while (at < s.size() && s[at] == '0')
                ++at;
            const size_t start = at;
            while (at < s.size() && IsDigit(s[at]))
                ++at;
            return s.substr(start, at - start);
        };
        const std::wstring x = number(a, i), y = number(b, j);
        if (x != y)
            return x.size() != y.size() ? x.size() < y.size() : x < y;
    }
    return a.size() - i < b.size() - j;
}

// The same file in a sibling folder whose name differs from its own only in the version part,
// the latest of them; empty for none (a folder that cannot be listed gives none).
std::wstring MovedProgram(const std::wstring& program) {
    const size_t file = SplitPath(program).FileName;
    if (file < 2)
        return std::wstring();
    const std::wstring folder = program.substr(0, file - 1);
    const size_t name = SplitPath(folder).FileName;
    const std::wstring own = folder.substr(name), shape = VersionShape(own);
    if (name < 2 || shape == FoldFileName(own))
        return std::wstring();
    std::wstring found, latest;
    for (const auto& sibling : ListSubfolders(folder.substr(0, name - 1))) {
        const std::wstring path =
            Join({folder.substr(0, name), sibling, L"\\", program.substr(file)});
        if (VersionShape(sibling) == shape && FoldFileName(sibling) != FoldFileName(own) &&
            (latest.empty() || VersionBefore(latest, sibling)) && IsProgramFile(path)) {
            found = path;
            latest = sibling;
        }
    }
    return found;
}

// An alias's env: entries applied as the helper applies them, up to the first it would refuse,
// for as long as the trial lasts: what each variable held is kept and put back at its end, since
// one left would change what every later alias is checked in.
class TEnvTrial {
  public:
    TEnvTrial(const TExtIniSection& s, TTextEncoding encoding, const std::wstring& folder) {
        for (const TKeyLine& entry : EnvEntries(s.KeyLines(), encoding)) {
            TVariable v;
            if (StoredValueText(entry.Key, encoding, v.Name)) {
                v.Value = EnvironmentValue(v.Name.c_str());
                v.Set = IsEnvironmentVariableSet(v.Name.c_str());
                FBefore.push_back(v);
            }
            FRefused = ApplyEnvEntry(entry.Key, entry.Value, encoding, folder);
            if (FRefused) {
                FRefusedKey = kEnvPrefix + entry.Key;
                break;
            }
        }
    }
    ~TEnvTrial() { End(); }
    TEnvTrial(const TEnvTrial&) = delete;
    TEnvTrial& operator=(const TEnvTrial&) = delete;

    // Null, or why the helper would refuse the entry of RefusedKey (those after it were not tried).
    const char* Refused() const { return FRefused; }
    const std::string& RefusedKey() const { return FRefusedKey; }
    // Every variable put back, the last changed first; the name of one that had a value and could
    // not get it back (the first in the file of such), empty for none.
    std::wstring End() {
        std::wstring stuck;
        for (auto v = FBefore.rbegin(); v != FBefore.rend(); ++v)
            if (!SetEnvironmentValue(v->Name.c_str(), v->Set ? v->Value.c_str() : nullptr) &&
                v->Set)
                stuck = v->Name;
        FBefore.clear();
        return stuck;
    }

  private:
    struct TVariable {
        std::wstring Name, Value;
        bool Set;
    };
    std::vector<TVariable> FBefore; // as each was before its entry, in the order applied
    const char* FRefused = nullptr;
    std::string FRefusedKey;
};

// One run of the check: what it has read once, and whether it has found anything.
class TCheck {
  public:
    explicit TCheck(const TDefinitionTransaction& t)
        : FTransaction(t), FTemplates(t.Folder()), FPrompt(t.Folder().Dir()),
          FInterpreter(InterpreterPath()) {
        ToWide(t.Folder().Dir(), teCp932, FFolder);
    }

    // The program folder's listings, before any finding: a folder that cannot be listed ends the
    // check, which could otherwise report every helper missing.
    TFailure ListProgramFolder() {
        if (TFailure f = ScanFolder(FTransaction.Folder(), FTransaction.AliasOfFile(), FTemplates,
                                    false, FScan))
            return f;
        return HelpersLeftAside(FTransaction.Folder(), FLeftAside);
    }

    void Alias(const TExtIniSection& s) {
        const std::string name = FTransaction.Shown(s.Name());
        std::string fileName;
        if (!FTransaction.HelperName(s, fileName)) {
            Found(NameRefused(name));
            return;
        }
        FAliases = true;
        FOrder.push_back(&s);
        Values(s, name, fileName);
        std::string other;
        if (IsShortNameOfOther(FTransaction.Folder().HelperPath(fileName), other))
            Found(ShortNameOfOther(name, other));
        else
            Helper(s, name, fileName);
        Typing(name, fileName);
    }

    // What is no one alias's: helpers without a definition, templates that cannot be copied, the
    // program folder missing from PATH. True when nothing at all was found.
    bool Finish() {
        // A start that follows helpers and never leaves them: past as many steps as there are
        // aliases, it has met one twice.
        for (const TExtIniSection* s : FOrder) {
            const TExtIniSection* at = s;
            for (size_t step = 0; at && step <= FOrder.size(); ++step) {
                const auto next = FNext.find(at);
                at = next == FNext.end() ? nullptr : next->second;
            }
            if (at)
                Found(StartLoops(FTransaction.Shown(s->Name())));
        }
        for (const auto& path : FScan.orphans)
            Found(HelperProblem(AliasOfHelperFile(path.substr(SplitPath(path).FileName)), path,
                                hpOrphan));
        for (const TTemplate* from : {&FTemplates.Console, &FTemplates.Windowed})
            if (FTemplatesNeeded.count(from) && !from->Whole())
                Found(TemplateMissing(from->Path()));
        const TProgramFolder& folder = FTransaction.Folder();
        for (const auto& name : FLeftAside)
            Found(HelperProblem(
                AliasOfHelperFile(name.substr(0, name.size() - (sizeof kOldSuffix - 1))),
                folder.Dir() + name, hpLeftAside));
        if (FAliases && !FPrompt.Reached())
            Found(FolderNotOnPath(FTransaction.Folder().Dir()));
        return !FFound;
    }

  private:
    // What typing the name reaches: a program earlier on PATH, the prompt's own command or a
    // PowerShell alias, or nothing as typed.
    void Typing(const std::string& name, const std::string& fileName) {
        const std::string program = FPrompt.Reached() ? FPrompt.Before(fileName) : "";
        if (!program.empty())
            Found(ShadowedBy(name, program));
        if (IsPromptCommand(fileName))
            Found(PromptCommand(name));
        else if (!PromptTakesAsTyped(fileName))
            Found(NotTypeable(name));
        if (const char* shells = PowerShellAliasOf(fileName))
            Found(PowerShellAlias(name, shells));
    }

    // The alias whose helper a program is, when it is one of the program folder's; else none.
    const TExtIniSection* HelperAlias(const std::wstring& program) const {
        std::string file;
        const std::wstring full = LongPath(program);
        if (!IsSameFile(DirectoryPart(full), FFolder) ||
            !FromWide(full.substr(SplitPath(full).FileName), teCp932, file) ||
            !HasExeExtension(file))
            return nullptr;
        return FTransaction.FindAlias(AliasOfHelperFile(file));
    }

    void Found(const std::string& line) {
        WriteMessage(line);
        FFound = true;
    }

    // The values, the command line and the working folder as the helper takes them, in the
    // environment its env: entries make.
    void Values(const TExtIniSection& s, const std::string& name, const std::string& fileName) {
        const TTextEncoding encoding = FTransaction.Encoding();
        const std::string app = s.ReadValue(kKeyApp, ""), dir = s.ReadValue(kKeyDir, "");
        TLaunchValues v;
        std::wstring wideApp, wideDir;
        const bool appText = StoredValueText(app, encoding, wideApp);
        const bool dirText = StoredValueText(dir, encoding, wideDir);
        const bool paramText = StoredValueText(s.ReadValue(kKeyParam, ""), encoding, v.Param);
        const bool settingText =
            StoredValueText(s.ReadValue(kKeyInterpreter, ""), encoding, v.Setting);
        for (const auto& value :
             {std::make_pair(kKeyApp, appText), std::make_pair(kKeyParam, paramText),
              std::make_pair(kKeyDir, dirText), std::make_pair(kKeyInterpreter, settingText)})
            if (!value.second)
                Found(ValueReport(name, value.first, kValueBadText));
        TEnvTrial env(s, encoding, FFolder);
        if (env.Refused())
            Found(ValueReport(name, FTransaction.Shown(env.RefusedKey()), env.Refused()));
        // The references as the helper expands them, in the environment its entries made.
        const std::wstring storedApp = wideApp, storedDir = wideDir;
        const char* tooLong = appText && paramText && dirText
                                  ? ExpandStoredValues(wideApp, v.Param, wideDir, FFolder)
                                  : nullptr;
        if (tooLong)
            Found(ValueReport(name, tooLong, kValueTooLong));
        // What the references made of a path, after the report of its stored text.
        auto expanded = [](const std::wstring& stored, const std::wstring& used) {
            return stored == used ? std::string() : " (" + ShownCp932(used) + ")";
        };
        v.Dos = RunsThroughInterpreter(s.ReadValue(kKeyType, ""), encoding);
        v.Windowed = IsWindowed(s);
        v.PlaceArgs = IsSwitchOn(s.ReadValue(kKeyPlaceArgs, ""),
                                 FTransaction.Ini().ReadValue(kReservedSection, kKeyPlaceArgs, ""));
        if (app.empty())
            Found(ValueReport(name, kKeyApp, kNotGiven));
        else if (!env.Refused() && appText && !tooLong)
            Program(s, name, fileName, wideApp, v,
                    ProgramNotFoundReport(FTransaction.Shown(app)) + expanded(storedApp, wideApp));
        const std::wstring stuck = env.End();
        if (!stuck.empty())
            Found(ValueReport(name, Join({kEnvPrefix, ShownCp932(stuck)}), kValueNotSet));
        if (dirText && !tooLong && !wideDir.empty() && !IsWorkingFolder(wideDir))
            Found(OfAlias(name, FolderNotFoundReport(FTransaction.Shown(dir)) +
                                    expanded(storedDir, wideDir)));
    }

    // The program as the helper starts it, its references expanded: found, its command line
    // within the limit, its interpreter there, a file the system can start. notFound: the report
    // of a program that is not there.
    void Program(const TExtIniSection& s, const std::string& name, const std::string& fileName,
                 const std::wstring& app, const TLaunchValues& v, const std::string& notFound) {
        std::wstring helper;
        ToWide(FTransaction.Folder().HelperPath(fileName), teCp932, helper);
        TComposedLine launch;
        launch.Program = app;
        const std::wstring& program = launch.Program; // as found, once composed
        switch (ComposeLaunchLine(v, {FInterpreter, helper, {}}, launch)) {
        case llProgramMissing: {
            Found(OfAlias(name, notFound));
            const std::wstring moved = MovedProgram(program);
            if (!moved.empty())
                Found(ProgramMoved(name, ShownCp932(moved)));
            break;
        }
        case llTooLong:
            Found(OfAlias(name, LineTooLongReport(launch.CommandLine.size())));
            break;
        case llInterpreterMissing:
            Found(InterpreterMissingReport(name, ShownCp932(program),
                                           ShownCp932(launch.CommandLine)));
            break;
        case llArgumentRefused: // no caller's text here
        case llComposed:
            if (v.Dos)
                break;
            FNext[&s] = HelperAlias(program);
            // The system starts a file that is no program as no script either (Code 193).
            TExeType kind = etUnknown;
            if (v.Setting.empty() && !ScriptKindOf(program) && GetExeType(program, kind) == erOk &&
                kind == etUnknown)
                Found(NotRunnableReport(name, ShownCp932(program)));
            break;
        }
    }

    // There, a helper, of the kind the definition asks for, a copy of the current template.
    void Helper(const TExtIniSection& s, const std::string& name, const std::string& fileName) {
        const bool windowed = IsWindowed(s);
        const TTemplate& current = FTemplates.Of(s);
        FTemplatesNeeded.insert(&current);
        const auto file = FScan.aliasFiles.find(&s);
        if (file == FScan.aliasFiles.end()) {
            Found(HelperProblem(name, FTransaction.Folder().HelperPath(fileName), hpMissing));
            return;
        }
        const std::string& path = file->second.path;
        if (current.IsCopy(path))
            return;
        bool helperWindowed = false;
        const THelperState state = ExamineHelper(path, FTemplates, &helperWindowed);
        if (state != hsWhole)
            Found(HelperProblem(name, path, state == hsDamaged ? hpDamaged : hpNotHelper));
        else if (helperWindowed != windowed)
            Found(HelperProblem(name, path, hpOtherKind));
        else if (current.Whole())
            Found(HelperProblem(name, path, hpOldTemplate));
    }

    const TDefinitionTransaction& FTransaction;
    const THelperTemplates FTemplates;
    TFolderScan FScan;
    std::vector<std::string> FLeftAside; // HelpersLeftAside
    const TPromptSearch FPrompt;
    const std::wstring FInterpreter;           // the helper's, read before any env: entry applies
    std::wstring FFolder;                      // the program folder
    std::vector<const TExtIniSection*> FOrder; // the aliases checked, in the file's order
    // The alias whose helper each alias's program is.
    std::unordered_map<const TExtIniSection*, const TExtIniSection*> FNext;
    std::unordered_set<const TTemplate*> FTemplatesNeeded; // by some alias's helper
    bool FAliases = false;
    bool FFound = false;
};

} // namespace

TFailure CheckAliases(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    if (TFailure f = t.ReadRequired())
        return f;
    // A file marked as UTF-8 that holds other bytes works for the helpers, which read it as it is
    // checked here; that every changing command refuses it is a finding of its own.
    const bool fileSound = t.Ini().EncodingValid();
    if (!fileSound)
        WriteMessage(DefinitionFileFailed(t.Path(), dfNotUtf8));
    TCheck check(t);
    if (TFailure f = check.ListProgramFolder())
        return f;
    for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next())
        if (!IsReservedName(s->Name()))
            check.Alias(*s);
    return check.Finish() && fileSound ? TFailure() : SilentFailure();
}

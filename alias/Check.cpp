// alias /check finds what would fail before it does, by the same rules that the helper and the
// manager apply. It changes nothing and takes no lock. It writes one line for each problem, and a
// line about an alias names the alias first.
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

// How the command prompt searches for a name the user types, leaving out the current folder. It
// lists each folder on PATH that comes before the program folder, once each, and tries the
// extensions of PATHEXT.
class TPromptSearch {
  public:
    explicit TPromptSearch(const std::string& programDir) {
        std::wstring extensions = EnvironmentValue(L"PATHEXT"), entry, program;
        if (extensions.empty())
            extensions = L".COM;.EXE;.BAT;.CMD"; // what the prompt uses when PATHEXT is not set
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
            // A folder spelled in several ways is listed once: its key is its full path, folded,
            // without a separator at its end.
            std::wstring key = FullPath(entry);
            while (!key.empty() && IsPathSeparator(key.back()))
                key.pop_back();
            if (!FReached && listed.insert(FoldFileName(key)).second)
                List(entry);
        }
    }

    // Whether the program folder is on PATH.
    bool Reached() const { return FReached; }
    // Returns the file that the prompt finds for a helper's name in a folder before the program
    // folder, or an empty text when it finds none there.
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
        std::string Shown; // the folder as PATH spells it, ending in a separator
        std::unordered_map<std::string, std::string> Files; // FileNameKey -> file name
    };

    void List(const std::wstring& entry) {
        TFolder folder;
        const std::wstring dir = IsPathSeparator(entry.back()) ? entry : entry + L"\\";
        folder.Shown = ShownCp932(dir);
        // A name that code page 932 cannot hold cannot be an alias's name, so leaving it out of
        // the listing loses nothing. An entry of PATH that names no folder is common, and a folder
        // that cannot be listed holds nothing that this check could name, so neither is a failure.
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

// Returns a folded name in which each version part (a run of digits and dots that holds a digit)
// is replaced by one mark, so that "Tool 7" and "tool 8.1" have the same shape.
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

// Whether a comes before b, comparing runs of digits by their value, so that "Tool 9" comes before
// "Tool 10".
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

// Looks for the program's file in the sibling folders whose names differ from its own folder's
// only in the version part, as after an update to a new version. Returns the one in the latest
// version, or an empty text when there is none; a folder that cannot be listed gives none.
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

// Applies an alias's env: entries the way the helper applies them, up to the first one it would
// refuse, for as long as the trial lasts. What each variable held before is kept and put back at
// the end, because a variable left changed would change the environment that every later alias is
// checked in.
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

    // Returns null when every entry was applied. Otherwise it returns why the helper would refuse
    // the entry of RefusedKey; the entries after that one were not tried.
    const char* Refused() const { return FRefused; }
    const std::string& RefusedKey() const { return FRefusedKey; }
    // Puts every variable back, the last one changed first. Returns the name of a variable that had
    // a value and could not get it back (the first such in the file), or an empty text when all
    // were put back.
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
    // Each variable as it was before its entry, in the order the entries were applied.
    std::vector<TVariable> FBefore;
    const char* FRefused = nullptr;
    std::string FRefusedKey;
};

// One run of the check. It keeps what it has read once, so it is not read again for each alias,
// and whether it has found anything.
class TCheck {
  public:
    explicit TCheck(const TDefinitionTransaction& t)
        : FTransaction(t), FTemplates(t.Folder()), FPrompt(t.Folder().Dir()),
          FInterpreter(InterpreterPath()) {
        ToWide(t.Folder().Dir(), teCp932, FFolder);
    }

    // Lists the program folder before anything is checked. A folder that cannot be listed ends
    // the check, because otherwise the check would report every helper as missing.
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

    // Reports what belongs to no one alias: helpers without a definition, templates that cannot be
    // copied, and the program folder missing from PATH. Returns true when nothing at all was found.
    bool Finish() {
        // An alias whose program is another alias's helper starts that alias, and so on. When the
        // chain is still going after as many steps as there are aliases, it has met one alias
        // twice, so the start would loop forever.
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
    // Reports when typing the alias's name would reach something else: a program in a folder
    // earlier on PATH, a command built into the prompt, or a PowerShell alias. Also reports a name
    // that the prompt cannot take as it is typed.
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

    // Returns the alias whose helper the program is, when the program is a helper in the program
    // folder, and null otherwise.
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

    // Checks the values, the command line and the working folder the way the helper takes them, in
    // the environment that the alias's env: entries make.
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
        // The references are expanded as the helper expands them, in the environment that the
        // alias's entries made.
        const std::wstring storedApp = wideApp, storedDir = wideDir;
        const char* tooLong = appText && paramText && dirText
                                  ? ExpandStoredValues(wideApp, v.Param, wideDir, FFolder)
                                  : nullptr;
        if (tooLong)
            Found(ValueReport(name, tooLong, kValueTooLong));
        // Shows what the references made of a path, after the report of its stored text, when
        // they changed it.
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

    // Checks the program as the helper starts it, with its references expanded: that it is found,
    // that its command line is within the limit, that its interpreter is there, and that it is a
    // file the system can start. notFound is the report to give when the program is not there.
    void Program(const TExtIniSection& s, const std::string& name, const std::string& fileName,
                 const std::wstring& app, const TLaunchValues& v, const std::string& notFound) {
        std::wstring helper;
        ToWide(FTransaction.Folder().HelperPath(fileName), teCp932, helper);
        TComposedLine launch;
        launch.Program = app;
        const std::wstring& program = launch.Program; // the program as found, once composed
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
        case llArgumentRefused: // cannot happen here: the check passes no caller's text
        case llComposed:
            if (v.Dos)
                break;
            FNext[&s] = HelperAlias(program);
            // A file that is not a program cannot be started by the system (error 193), unless it
            // is a script that runs through an interpreter.
            TExeType kind = etUnknown;
            if (v.Setting.empty() && !ScriptKindOf(program) && GetExeType(program, kind) == erOk &&
                kind == etUnknown)
                Found(NotRunnableReport(name, ShownCp932(program)));
            break;
        }
    }

    // Checks that the alias's helper is there, is a helper at all, is of the kind (console or
    // windowed) that the definition asks for, and is a copy of the current template.
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
    std::vector<std::string> FLeftAside; // the helpers that HelpersLeftAside found
    const TPromptSearch FPrompt;
    // The interpreter of DOS aliases, found as the helper finds it, before any env: entry applies.
    const std::wstring FInterpreter;
    std::wstring FFolder;                      // the program folder
    std::vector<const TExtIniSection*> FOrder; // the aliases checked, in the file's order
    // For each alias whose program is another alias's helper, that other alias.
    std::unordered_map<const TExtIniSection*, const TExtIniSection*> FNext;
    // The templates that some alias's helper needs.
    std::unordered_set<const TTemplate*> FTemplatesNeeded;
    bool FAliases = false;
    bool FFound = false;
};

} // namespace

TFailure CheckAliases(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    if (TFailure f = t.ReadRequired())
        return f;
    // A file marked as UTF-8 that holds bytes that are not UTF-8 still works for the helpers, which
    // read it the way it is checked here. But every command that changes the file refuses it, so
    // that is reported as a finding of its own.
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

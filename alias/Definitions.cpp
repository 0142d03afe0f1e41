// Changing a defined alias with options:
// alias <name> /path= /param= /param ... /dir= /env: /delenv: /<switch>=
#include "Alias.h"

#include <cstring>

#include "CommandLine.h"
#include "Files.h"
#include "Launching.h"
#include "Reports.h"
#include "IniSyntax.h"
#include "Messages.h"
#include "Names.h"
#include "Text.h"
#include "Transaction.h"

namespace {

// Whether the argument starts with the ASCII prefix, in any ASCII case.
bool HasPrefix(const std::wstring& arg, const char* prefix) {
    return StartsWithAsciiNoCase<wchar_t>(arg, prefix);
}

// Removes the alias's env: entries for the variable, whatever the case of its name (Windows treats
// names that differ only in case as one variable), except the entry whose key is `kept`.
void DeleteEnvEntries(TDefinitionTransaction& t, const std::string& section, const std::string& var,
                      const std::string& kept) {
    const TExtIniSection* s = t.Ini().FindSection(section);
    std::vector<std::string> keys;
    std::string name, value;
    for (const TExtIniItem* item = s ? s->First() : nullptr; item; item = item->Next())
        if (ReadEnvEntry(*item, name, value) && SameSectionName(name, var, t.Encoding()) &&
            item->Key() != kept)
            keys.push_back(item->Key());
    for (const auto& key : keys)
        t.Ini().DeleteKey(section, key);
}

// Applies one option to the alias's section in memory, with its text converted into the file's
// encoding.
TFailure ApplyOption(TDefinitionTransaction& t, const std::string& section, const TOption& o) {
    std::string value, var;
    if (o.Kind == okDelEnv) {
        TFailure f = t.FileText(o.Value, var);
        if (!f)
            DeleteEnvEntries(t, section, var, "");
        return f;
    }
    if (o.Kind == okEnv) {
        const size_t eq = o.Value.find('=');
        const std::wstring name =
            eq == std::wstring::npos ? L"" : TrimBlanks(o.Value.substr(0, eq));
        if (name.empty())
            return TFailure();
        TFailure f = t.FileText(name, var);
        if (!f)
            f = t.FileText(TrimBlanks(o.Value.substr(eq + 1)), value);
        if (f)
            return f;
        DeleteEnvEntries(t, section, var, kEnvPrefix + var);
        return t.WriteValue(section, kEnvPrefix + var, value);
    }
    // The interpreter key is stored only when it is set, so an empty value removes it.
    if (o.Kind == okInterpreter && o.Value.empty()) {
        t.Ini().DeleteKey(section, kKeyInterpreter);
        return TFailure();
    }
    // An empty /path= keeps the program as it is. A new path must be one that a start can use,
    // except for a DOS alias, whose command is handed to the interpreter instead.
    if (o.Kind == okPath && o.Value.empty())
        return TFailure();
    if ((o.Kind == okPath && !ProgramFitsStart(o.Value) &&
         !RunsThroughInterpreter(t.Ini().ReadValue(section, kKeyType, ""), t.Encoding())) ||
        (o.Kind == okDir && !FitsStartLimit(o.Value, true)))
        return Failure(kBadParameter);
    // A switch's "off" is stored, rather than the key removed, so that an "on" in the reserved
    // [alias] section cannot turn it back on.
    TFailure f = t.FileText(o.Value, value);
    if (!f)
        f = t.WriteValue(section, o.Key, value);
    // Parameters with placeholders turn placeargs on, so they work without a second command;
    // /placeargs=off after them makes them text again.
    if (!f && o.Kind == okParam && HoldsPlaceholder(o.Value))
        f = t.WriteValue(section, kKeyPlaceArgs, "on");
    return f;
}

} // namespace

// Joins the words after a bare /param into one parameter, quoting each word that holds a character
// the interpreter would act on. The user quoted or escaped such a word to mean the text itself, and
// a DOS alias runs the parameter through the interpreter; for a program nothing changes, because
// its C runtime takes the quotes off again.
std::wstring JoinParams(const TArgs& words) {
    std::wstring text;
    for (const auto& w : words) {
        if (!text.empty())
            text += ' ';
        text += QuoteIfHolding(w, kInterpreterWordBreaks);
    }
    return text;
}

bool ParseOptions(const TArgs& args, std::vector<TOption>& options) {
    static const struct {
        const char* Prefix;
        TOptionKind Kind;
        const char* Key;
    } kForms[] = {{"/path=", okPath, kKeyApp}, {"/param=", okParam, kKeyParam},
                  {"/dir=", okDir, kKeyDir},   {"/interpreter=", okInterpreter, kKeyInterpreter},
                  {"/env:", okEnv, nullptr},   {"/delenv:", okDelEnv, nullptr}};
    options.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        if (HasPrefix(a, "/param") && a.size() == 6) {
            // Every argument after a bare /param is one of its words, never an option.
            options.push_back(
                {okParam, JoinParams(TArgs(args.begin() + i + 1, args.end())), kKeyParam});
            break;
        }
        const size_t known = options.size();
        for (const auto& f : kForms)
            if (options.size() == known && HasPrefix(a, f.Prefix))
                options.push_back({f.Kind, TrimBlanks(a.substr(strlen(f.Prefix))), f.Key});
        for (const char* key : kSwitchKeys) {
            const std::string prefix = Join({"/", key, "="});
            if (options.size() > known || !HasPrefix(a, prefix.c_str()))
                continue;
            const std::wstring value = TrimBlanks(a.substr(prefix.size()));
            const bool on = value.size() == 2 && HasPrefix(value, "on");
            if (!on && !(value.size() == 3 && HasPrefix(value, "off")))
                return false;
            options.push_back({okSwitch, on ? L"on" : L"off", key});
        }
        if (options.size() == known)
            return false;
    }
    for (const auto& o : options)
        if (HasLineBreak(o.Value))
            return false;
    return true;
}

TFailure ChangeAlias(const TProgramFolder& folder, const std::wstring& name,
                     const std::vector<TOption>& options) {
    std::string fileName;
    if (TFailure f = HelperFileName(name, fileName))
        return f;
    if (IsReservedName(fileName))
        return Failure(NameRefused(fileName));
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Begin(fnRequired))
        return f;
    const TExtIniSection* s = t.FindAlias(fileName);
    if (!s)
        return Failure(NotDefinedReport(fileName));
    // Options are applied in the order typed, so each sees the effect of those before it, and of
    // two options for the same key the later one wins.
    const std::string section = s->Name();
    for (const auto& o : options)
        if (TFailure f = ApplyOption(t, section, o))
            return f;
    return t.Commit();
}

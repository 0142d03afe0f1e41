// The option form: alias <name> /path=... /param=... /param ... /dir=... /env:... /delenv:...
#include "Alias.h"

#include "Messages.h"
#include "Names.h"
#include "Text.h"
#include "Transaction.h"

namespace {

// The argument starts with prefix, compared without regard to case.
bool HasPrefix(const std::string& arg, const std::string& prefix) {
    return arg.size() >= prefix.size() &&
           CompareLocaleNoCase(arg.substr(0, prefix.size()), prefix) == 0;
}

// Applies one option to the alias's section in memory.
bool ApplyOption(TDefinitionTransaction& t, const std::string& section, const TOption& o) {
    switch (o.Kind) {
    case okPath:
        return o.Value.empty() || t.WriteValue(section, kKeyApp, o.Value);
    case okParam:
        return t.WriteValue(section, kKeyParam, o.Value);
    case okDir:
        return t.WriteValue(section, kKeyDir, o.Value);
    case okEnv: {
        const size_t eq = o.Value.find('=');
        if (eq == std::string::npos)
            return true;
        const std::string var = TrimBlanks(o.Value.substr(0, eq));
        return var.empty() ||
               t.WriteValue(section, kEnvPrefix + var, TrimBlanks(o.Value.substr(eq + 1)));
    }
    case okDelEnv:
        t.Ini().DeleteKey(section, kEnvPrefix + o.Value);
        return true;
    }
    return false;
}

} // namespace

// A word holding a blank, or a character the command interpreter takes for a command
// separator, a pipe, a redirection or an escape, is stored quoted: the user quoted or escaped
// it to mean the text itself, and a DOS alias runs its parameters through the interpreter.
// A program's C runtime takes the quotes off again.
static std::string QuoteWord(const std::string& word) {
    for (const char* c : {" ", "&", "|", "<", ">", "^"})
        if (MbcsPos(c, word))
            return "\"" + word + "\"";
    return word;
}

std::string JoinParams(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& w : words) {
        if (!text.empty())
            text += ' ';
        text += QuoteWord(w);
    }
    return text;
}

bool ParseOptions(const std::vector<std::string>& args, std::vector<TOption>& options) {
    static const struct {
        const char* Prefix;
        TOptionKind Kind;
    } kPrefixes[] = {{"/path=", okPath},
                     {"/param=", okParam},
                     {"/dir=", okDir},
                     {"/env:", okEnv},
                     {"/delenv:", okDelEnv}};
    options.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (CompareLocaleNoCase(a, "/param") == 0) {
            // The rest are its words, never options.
            const std::vector<std::string> words(args.begin() + i + 1, args.end());
            options.push_back({okParam, JoinParams(words)});
            break;
        }
        bool known = false;
        for (const auto& p : kPrefixes) {
            if (HasPrefix(a, p.Prefix)) {
                options.push_back({p.Kind, TrimBlanks(a.substr(std::string(p.Prefix).size()))});
                known = true;
                break;
            }
        }
        if (!known)
            return false;
    }
    for (const auto& o : options)
        if (HasLineBreak(o.Value))
            return false;
    return true;
}

bool ChangeAlias(const TProgramFolder& folder, const std::string& name,
                 const std::vector<TOption>& options) {
    if (IsReservedName(name)) {
        ReportError(NameRefused(name));
        return false;
    }
    TDefinitionTransaction t(folder);
    if (!t.Begin(fnRequired))
        return false;
    const TExtIniSection* s = t.FindAlias(name);
    if (!s) {
        ReportError(AliasNotDefined(name));
        return false;
    }
    // Later options see the effect of earlier ones: of two on the same key the later wins.
    const std::string section = s->Name();
    for (const auto& o : options)
        if (!ApplyOption(t, section, o))
            return false;
    return t.Commit();
}

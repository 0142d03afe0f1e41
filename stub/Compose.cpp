// The composition of a launch: the alias's environment applied to our own (the target inherits
// it), the program found or the interpreter put in front, the stored parameters and the
// caller's argument text joined into one command line, the working directory checked.
#include "Stub.h"

#include "CommandLine.h"
#include "HelperChain.h"
#include "ProgramPaths.h"
#include "TextUtils.h"

namespace {

std::string ExpandEnvText(const std::string& text) {
    if (text.empty())
        return text;
    DWORD n = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (n == 0)
        return text;
    std::string buf(n, '\0');
    DWORD m = ExpandEnvironmentStringsA(text.c_str(), &buf[0], n);
    if (m == 0 || m > n)
        return text;
    buf.resize(m - 1);
    return buf.c_str();
}

// Each entry is applied before the next is expanded, so one can build on another; an empty
// value removes the variable.
void ApplyAliasEnvironment(const std::vector<TEnvSetting>& env) {
    for (const TEnvSetting& e : env) {
        const std::string value = ExpandEnvText(e.Value);
        SetEnvironmentVariableA(e.Name.c_str(), value.empty() ? nullptr : value.c_str());
    }
}

// The program the alias names, with ".exe" added when its file name has no extension and
// searched for when it is a bare name (never as the helper itself, self); false when it is not
// there.
bool ResolveProgram(std::string& app, const std::string& self) {
    const std::string fileName = app.substr(LastCharPos("\\/", app));
    if (LastCharPos(".", fileName) == 0)
        app += ".exe";
    if (LastCharPos("\\/", app) != 0)
        return FileFound(app);
    std::string full;
    if (!SearchProgramFileExcept(app, self, full))
        return false;
    app = full;
    return true;
}

} // namespace

TComposed ComposeLaunch(const TStartup& start, const TDefinition& def) {
    TComposed c;
    // Read before the alias's own entries apply, so that none of them can reset it.
    std::string depth;
    if (!NextChainDepth(EnvironmentValue(kChainVariable), depth)) {
        c.Error = start.AliasName + " の呼び出しが循環しています (" + kChainMessage + ")。";
        return c;
    }
    ApplyAliasEnvironment(def.Env);
    SetEnvironmentVariableA(kChainVariable, depth.c_str());
    // The caller's text goes on byte for byte; quoted paths leave CreateProcessA and the
    // interpreter no shorter program to take.
    const std::string text = CallerArgumentText(start.CommandLine);
    const std::string args = def.Param + " " + (text.empty() ? text : " " + text);
    std::string app = def.App;
    if (MbcsPos("dos", LowerAscii(def.Type)) != 0) {
        // With /s the interpreter drops exactly the outer pair of quotes and keeps the rest.
        c.CommandLine =
            QuoteIfSpaced(start.ComSpecPath) + " /s /c \"" + QuoteIfSpaced(app) + " " + args + "\"";
    } else if (ResolveProgram(app, start.ExePath)) {
        c.CommandLine = QuoteIfSpaced(app) + " " + args;
    } else {
        c.Error = "プログラム " + app + " が見つかりません。";
        return c;
    }
    if (!def.Dir.empty() && !IsDirectory(def.Dir)) {
        c.Error = "ディレクトリ " + def.Dir + " が見つかりません。";
        return c;
    }
    c.WorkDir = def.Dir;
    return c;
}

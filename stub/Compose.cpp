// The composition of a launch: the alias's environment applied to our own (the target inherits
// it), the program found or the interpreter put in front, the stored parameters and our own
// arguments joined into one command line, the working directory checked.
#include "Stub.h"

#include "CommandLine.h"
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
// searched for when it is a bare name; false when it is not there.
bool ResolveProgram(std::string& app) {
    const std::string fileName = app.substr(LastCharPos("\\/", app));
    if (LastCharPos(".", fileName) == 0)
        app += ".exe";
    if (LastCharPos("\\/", app) != 0)
        return FileFound(app);
    std::string full;
    if (!SearchProgramFile(app, full))
        return false;
    app = full;
    return true;
}

std::string ForwardedArguments(const std::string& ownCommandLine) {
    const std::vector<std::string> args = SplitCommandLine(ownCommandLine);
    std::string text;
    for (size_t i = 1; i < args.size(); ++i)
        text += " " + QuoteIfSpaced(args[i]);
    return text;
}

} // namespace

TComposed ComposeLaunch(const TStartup& start, const TDefinition& def) {
    TComposed c;
    ApplyAliasEnvironment(def.Env);
    std::string app = def.App;
    if (MbcsPos("dos", LowerAscii(def.Type)) != 0) {
        app = start.ComSpecPath + " /c " + QuoteIfSpaced(app);
    } else if (!ResolveProgram(app)) {
        c.Error = "プログラム " + app + " が見つかりません。";
        return c;
    }
    c.CommandLine = app + " " + def.Param + " " + ForwardedArguments(start.CommandLine);
    if (!def.Dir.empty() && !IsDirectory(def.Dir)) {
        c.Error = "ディレクトリ " + def.Dir + " が見つかりません。";
        return c;
    }
    c.WorkDir = def.Dir;
    return c;
}

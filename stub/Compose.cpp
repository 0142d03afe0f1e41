// The composition of a launch: the alias's environment applied to our own (the target inherits
// it), the program found or the interpreter put in front, the stored parameters and the
// caller's argument text joined into one command line, the working directory checked. The
// stored values are code page 932 bytes; each is turned into UTF-16 exactly, and everything
// from here on is UTF-16, so the caller's text and the environment pass through whole.
#include "Stub.h"

#include "CommandLine.h"
#include "Files.h"
#include "Format.h"
#include "HandedOn.h"
#include "HelperChain.h"
#include "Schema.h"
#include "Text.h"
#include "Encoding.h"

using namespace std::string_view_literals;

namespace {

// The report that ends the run, about one value of the alias.
bool Fail(TComposed& c, const TStartup& start, std::string_view key, const char* what) {
    c.Error = Join({start.AliasName, " の "sv, key, what});
    return false;
}

// A stored value as UTF-16; false, with the report in c, when the helper cannot hand it on.
bool StoredText(const TStartup& start, const TDefinition& def, std::string_view key,
                const std::string& value, std::wstring& text, TComposed& c) {
    return StoredValueText(value, def.Encoding, text) || Fail(c, start, key, kValueBadText);
}

// Each entry is applied before the next is expanded, so one can build on another.
bool ApplyAliasEnvironment(const TStartup& start, const TDefinition& def, TComposed& c) {
    for (const TKeyLine& e : def.Env)
        if (const char* failure = ApplyEnvEntry(e.Key, e.Value, def.Encoding))
            return Fail(c, start, Join({kEnvPrefix, e.Key}), failure);
    return true;
}

} // namespace

TComposed ComposeLaunch(const TStartup& start, const TDefinition& def) {
    TComposed c;
    std::wstring app, param, dir, depth;
    if (!StoredText(start, def, kKeyApp, def.App, app, c) ||
        !StoredText(start, def, kKeyParam, def.Param, param, c) ||
        !StoredText(start, def, kKeyDir, def.Dir, dir, c))
        return c;
    // Read before the alias's own entries apply, so that none of them can reset it.
    if (!NextChainDepth(EnvironmentValue(kChainVariable), depth)) {
        c.Error =
            Join({start.AliasName, " の呼び出しが循環しています ("sv, kChainMessage, ")。"sv});
        return c;
    }
    // Without the depth handed on, the chain limit would be off: nothing is started then.
    if (!ApplyAliasEnvironment(start, def, c) ||
        (!SetEnvironmentVariableW(kChainVariable, depth.c_str()) &&
         !Fail(c, start, "ORVEX_DEPTH", kValueNotSet)))
        return c;
    // The caller's text goes on unchanged; quoted paths leave the system and the interpreter no
    // shorter program to take.
    std::wstring text(CallerArgumentText(start.CommandLine));
    const std::wstring command = Join({QuoteIfSpaced(app), L" "sv, param, L" "sv});
    if (RunsThroughInterpreter(def.Type, def.Encoding)) {
        // With /s the interpreter drops exactly the outer pair of quotes and keeps the rest. The
        // caller's text is an argument, never a command of its own.
        if (!text.empty())
            text = Join({L" "sv, EscapeForInterpreter(command, text)});
        c.CommandLine =
            Join({QuoteIfSpaced(start.ComSpecPath), L" /s /c \""sv, command, text, L"\""sv});
    } else if (ResolveProgram(app, start.SelfPath)) {
        if (!text.empty())
            text = Join({L" "sv, text});
        c.CommandLine = Join({QuoteIfSpaced(app), L" "sv, param, L" "sv, text});
    } else {
        c.Error = Join({"プログラム "sv, ShownCp932(app), " が見つかりません。"sv});
        return c;
    }
    if (c.CommandLine.size() >= kSystemTextLimit)
        c.Error = Join({"コマンド ラインが長すぎます ("sv, Decimal(uint32_t(c.CommandLine.size())),
                        " 文字)。"sv});
    else if (!dir.empty() && !IsDirectory(dir))
        c.Error = Join({"ディレクトリ "sv, ShownCp932(dir), " が見つかりません。"sv});
    c.WorkDir = dir;
    return c;
}

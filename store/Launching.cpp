#include "Launching.h"

#include <windows.h>

#include <cstring>

#include "CommandLine.h"
#include "Files.h"
#include "Grow.h"
#include "Reports.h"
#include "Schema.h"
#include "ScriptKinds.h"
#include "Text.h"

bool StoredValueText(const std::string& value, TTextEncoding encoding, std::wstring& text) {
    return value.find('\0') == std::string::npos && FileTextToWide(value, encoding, text);
}

namespace {

// Environment references expanded as the system expands them; a failed expansion leaves the text
// as written, as does one too long to be a value already (the system would cut it first).
void ExpandEnvText(std::wstring& text) {
    std::wstring expanded;
    if (text.size() < kSystemTextLimit &&
        FillGrowing(expanded, [&](wchar_t* buffer, size_t capacity) {
            // The size it gives counts the closing zero, whether the text fitted or not.
            const DWORD n = ExpandEnvironmentStringsW(text.c_str(), buffer, DWORD(capacity));
            return n == 0 ? 0 : n <= capacity ? n - 1 : n;
        }))
        text = expanded;
}

} // namespace

bool ExpandReferences(std::wstring& text, const std::wstring& folder, bool environment) {
    const size_t n = sizeof kFolderReference / sizeof(wchar_t);
    std::wstring out;
    for (size_t at = 0, i = 0; i <= text.size(); ++i) {
        const bool reference =
            text.size() - i >= n && !memcmp(&text[i], kFolderReference, sizeof kFolderReference);
        if (!reference && i < text.size())
            continue;
        std::wstring piece = text.substr(at, i - at);
        if (environment)
            ExpandEnvText(piece);
        out += piece;
        if (reference)
            out += folder, i += n - 1, at = i + 1;
    }
    text = out;
    return text.size() < kSystemTextLimit;
}

const char* ExpandStoredValues(std::wstring& app, std::wstring& param, std::wstring& dir,
                               const std::wstring& folder) {
    // A path that a reference makes longer than a path may be, or that a variable gives a quote
    // or a line break, names no file: it is not found, as any such path. Parameters too long
    // meet the command line's limit instead.
    ExpandReferences(param, folder, false);
    const struct {
        std::wstring& Value;
        const char* Key;
    } values[] = {{app, kKeyApp}, {dir, kKeyDir}};
    for (const auto& v : values)
        if (!ExpandReferences(v.Value, folder, true))
            return v.Key;
    return nullptr;
}

const char* ApplyEnvEntry(const std::string& name, const std::string& value, TTextEncoding encoding,
                          const std::wstring& folder) {
    std::wstring wideName, wideValue;
    if (!StoredValueText(name, encoding, wideName) || !StoredValueText(value, encoding, wideValue))
        return kValueBadText;
    if (!ExpandReferences(wideValue, folder, true))
        return kValueTooLong;
    if (!SetEnvironmentValue(wideName.c_str(), wideValue.empty() ? nullptr : wideValue.c_str()) &&
        !wideValue.empty())
        return kValueNotSet;
    return nullptr;
}

bool PlaceCallerText(std::wstring& line, std::wstring_view pattern, std::wstring_view callerText,
                     bool escape, std::wstring_view* refused) {
    bool placed = false;
    const wchar_t* end = pattern.data() + pattern.size();
    for (const wchar_t* p = pattern.data(); p < end; ++p) {
        const wchar_t next = p + 1 < end ? p[1] : 0;
        const size_t n = size_t(next - '0');
        const bool number = n - 1 < 9 && !(p + 2 < end && unsigned(p[2] - '0') < 10);
        if (*p == '$' && (number || next == '*')) {
            ++p;
            placed = true;
            const std::wstring_view piece = number ? CallerArgument(callerText, n) : callerText;
            // Past the limit the line is refused anyway: thousands of "$*" must not cost their all.
            if (piece.empty() || line.size() >= kSystemTextLimit)
                continue;
            if (escape) {
                if (!AppendForBatch(line, callerText, number ? n : 0, *refused))
                    break;
            } else
                line += piece;
            continue;
        }
        if (*p == '$' && next == '$')
            ++p;
        line += *p;
    }
    return placed;
}

bool HoldsPlaceholder(std::wstring_view param) {
    std::wstring filled;
    return PlaceCallerText(filled, param, {}, false);
}

TLaunchLine ComposeLaunchLine(const TLaunchValues& v, TLaunchCaller caller, TComposedLine& out) {
    std::wstring &app = out.Program, &line = out.CommandLine;
    if (!v.Dos && !ResolveProgram(app, caller.Helper))
        return llProgramMissing;
    std::wstring interpreter, options;
    const TScriptRun run =
        v.Dos ? srBatch : FindInterpreter(app, v.Setting, v.Windowed, interpreter, options);
    if (run == srInterpreterMissing) {
        line = interpreter;
        return llInterpreterMissing;
    }
    // The system would run a batch file through the interpreter with the caller's text read as
    // commands: it runs as a DOS alias's does, always quoted. Quoted paths leave no shorter
    // program to take.
    const bool batch = run == srBatch;
    line.clear();
    if (run == srInterpreted) {
        AppendQuotedIfHolding(line, interpreter, kSystemBreaks);
        if (!options.empty())
            (line += options) += ' ';
    }
    AppendQuotedIfHolding(line, app, !batch ? kSystemBreaks : v.Dos ? kInterpreterBreaks : nullptr);
    std::wstring_view refused;
    bool placed = false;
    if (v.PlaceArgs)
        placed = PlaceCallerText(line, v.Param, caller.Text, batch, &refused);
    else
        line += v.Param;
    // Unchanged; to the interpreter each argument is text, never a command of its own.
    if (!placed) {
        line += ' ';
        if (!caller.Text.empty())
            line += ' ';
        if (!batch)
            line += caller.Text;
        else
            AppendForBatch(line, caller.Text, 0, refused);
    }
    if (refused.data()) {
        line = std::wstring(refused);
        return llArgumentRefused;
    }
    // With /s the interpreter drops exactly the outer pair of quotes and keeps the rest; /v:off
    // keeps ! text, /e:on makes %cd:~,% (AppendForBatch) expand to nothing.
    if (batch) {
        std::wstring whole;
        AppendQuotedIfHolding(whole, caller.ComSpec, kSystemBreaks);
        ((whole += L"/e:on /v:off /s /c \"") += line) += '"';
        line = std::move(whole);
    }
    return line.size() >= kSystemTextLimit ? llTooLong : llComposed;
}

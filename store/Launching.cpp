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

// Expands environment references the way the system expands them. When the expansion fails, the
// text stays as written, and so does a text that is already too long to be a value, because the
// system would cut it short before expanding it.
void ExpandEnvText(std::wstring& text) {
    std::wstring expanded;
    if (text.size() < kSystemTextLimit &&
        FillGrowing(expanded, [&](wchar_t* buffer, size_t capacity) {
            // The size this call returns counts the closing zero, whether or not the text fitted.
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
    // A path that a reference makes too long for a path, or into which a variable brings a quote
    // or a line break, names no file, so it is simply not found, like any other such path. The
    // parameters get no length check here, because parameters that are too long meet the command
    // line's limit later.
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
            // Once the line has reached the limit it will be refused anyway, so nothing more is
            // added: a pattern with thousands of "$*" must not cost the time and memory of all of
            // them.
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
    // Handed a batch file, the system would run it through the interpreter and read the caller's
    // text as commands. So a batch file runs the way a DOS alias's command does, through the
    // interpreter, and its path is always quoted. A quoted path also leaves the system no shorter
    // program name to take from a path with blanks.
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
    // Without a placeholder, the caller's text follows unchanged. Through the interpreter, each
    // argument is handed so that it is read as text, never as a command of its own.
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
    // With /s, the interpreter removes exactly the outer pair of quotes and keeps everything
    // inside as it is. /v:off keeps a "!" as plain text. /e:on makes %cd:~,%, which AppendForBatch
    // uses, expand to nothing.
    if (batch) {
        std::wstring whole;
        AppendQuotedIfHolding(whole, caller.ComSpec, kSystemBreaks);
        ((whole += L"/e:on /v:off /s /c \"") += line) += '"';
        line = std::move(whole);
    }
    return line.size() >= kSystemTextLimit ? llTooLong : llComposed;
}

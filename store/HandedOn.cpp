#include "HandedOn.h"

#include <windows.h>

#include "CommandLine.h"
#include "Files.h"
#include "Format.h"
#include "Grow.h"
#include "Schema.h"
#include "Text.h"

using namespace std::string_view_literals;

bool StoredValueText(const std::string& value, TTextEncoding encoding, std::wstring& text) {
    return value.find('\0') == std::string::npos &&
           (ToWide(value, encoding, text) || ToWide(value, teCp932, text));
}

namespace {

// The text with environment references expanded; false when the result is longer than any
// environment value may be (the system would cut it). A failed expansion leaves it as written.
bool ExpandEnvText(std::wstring& text) {
    std::wstring expanded;
    const bool done = !text.empty() && FillGrowing(expanded, [&](wchar_t* buffer, size_t capacity) {
        // The size it gives counts the closing zero, whether the text fitted or not.
        const DWORD n = ExpandEnvironmentStringsW(text.c_str(), buffer, DWORD(capacity));
        return n == 0 ? 0 : n <= capacity ? n - 1 : n;
    });
    if (done && expanded.size() >= kSystemTextLimit)
        return false;
    if (done)
        text = expanded;
    return true;
}

} // namespace

const char* ApplyEnvEntry(const std::string& name, const std::string& value,
                          TTextEncoding encoding) {
    std::wstring wideName, wideValue;
    if (!StoredValueText(name, encoding, wideName) || !StoredValueText(value, encoding, wideValue))
        return kValueBadText;
    if (!ExpandEnvText(wideValue))
        return kValueTooLong;
    if (!SetEnvironmentVariableW(wideName.c_str(),
                                 wideValue.empty() ? nullptr : wideValue.c_str()) &&
        !wideValue.empty())
        return kValueNotSet;
    return nullptr;
}

std::string LineTooLongReport(size_t length) {
    return Join({"コマンド ラインが長すぎます ("sv, Decimal(uint32_t(length)), " 文字)。"sv});
}

TLaunchLine ComposeLaunchLine(std::wstring& app, const std::wstring& param, const std::string& type,
                              TTextEncoding encoding, const std::wstring& interpreter,
                              const std::wstring& self, std::wstring_view callerText,
                              std::wstring& line) {
    const bool dos = RunsThroughInterpreter(type, encoding);
    if (!dos && !ResolveProgram(app, self))
        return llProgramMissing;
    // Quoted paths leave the system and the interpreter no shorter program to take.
    line = Join(
        {QuoteIfHolding(app, dos ? kInterpreterBreaks : kSystemBreaks), L" "sv, param, L" "sv});
    // The caller's text goes on unchanged; to the interpreter it is an argument, never a command
    // of its own.
    if (!callerText.empty())
        line = Join({line, L" "sv,
                     dos ? EscapeForInterpreter(line, callerText) : std::wstring(callerText)});
    // With /s the interpreter drops exactly the outer pair of quotes and keeps the rest.
    if (dos)
        line = Join({QuoteIfHolding(interpreter, kSystemBreaks), L" /s /c \""sv, line, L"\""sv});
    return line.size() >= kSystemTextLimit ? llTooLong : llComposed;
}

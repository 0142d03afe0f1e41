#include "CommandLine.h"

#include <algorithm>

#include "Text.h"

using namespace std::string_view_literals;

std::vector<std::wstring> SplitCommandLine(const std::wstring& line) {
    std::vector<std::wstring> args;
    const size_t n = line.size();
    size_t i = 0;
    for (;;) {
        // Blanks between arguments; a "" pair there is an empty argument and is dropped.
        for (;;) {
            while (i < n && IsBlank(line[i]))
                ++i;
            if (i + 1 < n && line[i] == '"' && line[i + 1] == '"')
                i += 2;
            else
                break;
        }
        if (i >= n)
            break;
        std::wstring arg;
        while (i < n && !IsBlank(line[i])) {
            if (line[i] == '"') {
                size_t close = line.find('"', i + 1);
                if (close == std::wstring::npos)
                    close = n;
                arg.append(line, i + 1, close - i - 1);
                i = close < n ? close + 1 : n;
            } else {
                arg.push_back(line[i++]);
            }
        }
        if (arg.empty()) // only a lone "" pair inside an argument run; nothing to hand on
            continue;
        args.push_back(arg);
    }
    return args;
}

namespace {
// Where the program-name token of line ends: at its closing quote (the end of the line when
// there is none) or at its first blank.
size_t TokenEnd(std::wstring_view line, bool quoted) {
    return std::min(line.find_first_of(quoted ? L"\"" : L" \t", quoted), line.size());
}
bool StartsQuoted(std::wstring_view line) {
    return !line.empty() && line[0] == '"';
}
} // namespace

std::wstring_view CallerArgumentText(std::wstring_view line) {
    const bool quoted = StartsQuoted(line);
    const size_t text = line.find_first_not_of(L" \t", TokenEnd(line, quoted) + quoted);
    return text == line.npos ? std::wstring_view() : line.substr(text);
}

std::wstring ProgramNameToken(std::wstring_view line) {
    const bool quoted = StartsQuoted(line);
    return std::wstring(line.substr(quoted, TokenEnd(line, quoted) - quoted));
}

namespace {
bool IsInterpreterOperator(wchar_t c) {
    for (const wchar_t o : kInterpreterOperators)
        if (o == c)
            return true;
    return false;
}
} // namespace

std::wstring EscapeForInterpreter(std::wstring_view command, std::wstring_view text) {
    bool quoted = false;
    for (size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '"')
            quoted = !quoted;
        else if (!quoted && command[i] == '^')
            ++i; // the escaped character is text, a quote included
    }
    std::wstring out;
    out.reserve(text.size() + text.size() / 8);
    for (wchar_t c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && IsInterpreterOperator(c))
            out += '^';
        out += c;
    }
    return out;
}

std::wstring QuoteIfHolding(const std::wstring& text, const wchar_t* breaks) {
    if (breaks && text.find_first_of(breaks) == std::wstring::npos)
        return text;
    return Join({L"\""sv, text, L"\""sv});
}

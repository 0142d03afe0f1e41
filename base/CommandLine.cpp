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
// At its closing quote (or the line's end) or its first blank.
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

std::wstring_view CallerArgument(std::wstring_view text, size_t n) {
    const wchar_t *p = text.data(), *end = p + text.size(), *start = p;
    for (; n; --n) {
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
        start = p;
        bool quoted = false, escaped = false;
        for (; p < end && (quoted || (*p != ' ' && *p != '\t')); ++p) {
            quoted ^= *p == '"' && !escaped;
            escaped = *p == '\\' && !escaped;
        }
    }
    return std::wstring_view(start, size_t(p - start));
}

void AppendForInterpreter(std::wstring& line, std::wstring_view text) {
    // One walk over both, as the interpreter reads them; line grows only past where it is read.
    const size_t n = line.size();
    bool quoted = false, escaped = false;
    for (size_t i = 0; i < n + text.size(); ++i) {
        const wchar_t c = i < n ? line[i] : text[i - n];
        const bool mark = i >= n && !quoted && !escaped &&
                          kInterpreterOperators.find(c) != kInterpreterOperators.npos;
        if (escaped)
            escaped = false; // the escaped character is text, a quote included
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '^' && !mark)
            escaped = true;
        if (mark)
            line += '^';
        if (i >= n)
            line += c;
    }
}

std::wstring QuoteIfHolding(const std::wstring& text, const wchar_t* breaks) {
    if (breaks && text.find_first_of(breaks) == std::wstring::npos)
        return text;
    return Join({L"\""sv, text, L"\""sv});
}

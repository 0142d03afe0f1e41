#include "CommandLine.h"

#include <cstring>

#include "Text.h"

std::vector<std::wstring> SplitCommandLine(const std::wstring& line) {
    std::vector<std::wstring> args;
    const size_t n = line.size();
    size_t i = 0;
    for (;;) {
        // Skip the blanks between arguments. A "" pair there would be an empty argument, and is
        // dropped with them.
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
        if (arg.empty()) // the run held only quotes with nothing between them: nothing to hand on
            continue;
        args.push_back(arg);
    }
    return args;
}

namespace {
// The blanks that separate arguments for the C runtime: only space and tab.
bool IsSpaceOrTab(wchar_t c) {
    return c == ' ' || c == '\t';
}
// Returns where the program-name token ends: at its closing quote (or the line's end) when it is
// quoted, otherwise at its first space or tab.
size_t TokenEnd(std::wstring_view line, bool quoted) {
    size_t i = quoted;
    while (i < line.size() && (quoted ? line[i] != '"' : !IsSpaceOrTab(line[i])))
        ++i;
    return i;
}
bool StartsQuoted(std::wstring_view line) {
    return !line.empty() && line[0] == '"';
}
} // namespace

std::wstring_view CallerArgumentText(std::wstring_view line) {
    const bool quoted = StartsQuoted(line);
    size_t text = TokenEnd(line, quoted) + quoted;
    while (text < line.size() && IsSpaceOrTab(line[text]))
        ++text;
    return text >= line.size() ? std::wstring_view() : line.substr(text);
}

std::wstring ProgramNameToken(std::wstring_view line) {
    const bool quoted = StartsQuoted(line);
    return std::wstring(line.substr(quoted, TokenEnd(line, quoted) - quoted));
}

std::wstring_view CallerArgument(std::wstring_view text, size_t n) {
    const wchar_t *p = text.data(), *end = p + text.size(), *start = p;
    for (; n; --n) {
        while (p < end && IsSpaceOrTab(*p))
            ++p;
        start = p;
        bool quoted = false, escaped = false;
        for (; p < end && (quoted || !IsSpaceOrTab(*p)); ++p) {
            quoted ^= *p == '"' && !escaped;
            escaped = *p == '\\' && !escaped;
        }
    }
    return std::wstring_view(start, size_t(p - start));
}

namespace {
// The characters that, outside quotes, are plain text both to the interpreter and to a batch
// file's own splitting of its arguments: letters, digits, a few signs, and characters beyond ASCII
// that are not controls. An argument made only of these needs no quotes.
constexpr char kPlainSigns[] = "#$*+-./:?@\\_";
bool PlainForBatch(wchar_t c) {
    return c >= 0xA0 || unsigned((c | 0x20) - 'a') < 26 || unsigned(c - '0') < 10 ||
           (c < 0x80 && memchr(kPlainSigns, c, sizeof kPlainSigns - 1));
}

// Returns the argument that a program's C runtime makes of its spelling: quotes are removed,
// backslashes before a quote are halved, and a doubled quote inside a quoted stretch is one quote.
std::wstring Unquoted(std::wstring_view spelling) {
    std::wstring arg;
    bool stretch = false;
    size_t slashes = 0;
    for (size_t i = 0; i < spelling.size(); ++i) {
        const wchar_t c = spelling[i];
        if (c == '\\') {
            ++slashes;
            continue;
        }
        const bool quote = c == '"' && slashes % 2 == 0;
        arg.append(c == '"' ? slashes / 2 : slashes, '\\');
        slashes = 0;
        if (quote && stretch && i + 1 < spelling.size() && spelling[i + 1] == '"')
            arg += spelling[++i];
        else if (quote)
            stretch = !stretch;
        else
            arg += c;
    }
    return arg.append(slashes, '\\');
}
} // namespace

bool AppendForBatch(std::wstring& line, std::wstring_view text, size_t n,
                    std::wstring_view& refused) {
    // Find where the interpreter stands at the end of line: whether it is inside a quoted stretch,
    // and whether the last character is a ^ outside quotes, which makes the next one plain text.
    bool quoted = false, escaped = false;
    for (const wchar_t c : line) {
        if (escaped)
            escaped = false;
        else if (c == '"')
            quoted = !quoted;
        else
            escaped = !quoted && c == '^';
    }
    bool first = true;
    for (std::wstring_view rest = text; !rest.empty();) {
        const std::wstring_view spelling = CallerArgument(rest, n ? n : 1);
        rest = n ? std::wstring_view() : rest.substr(size_t(spelling.end() - rest.begin()));
        if (spelling.empty())
            break;
        const std::wstring arg = Unquoted(spelling);
        // Refuse what cannot be passed on. No quote can reach a batch file as plain text, and a
        // line break would end the command. And if line ends in a ^ outside quotes (from the
        // template), that ^ would turn an opening quote into plain text.
        bool plain = !arg.empty(), refuse = false;
        for (const wchar_t c : arg) {
            plain = plain && PlainForBatch(c);
            refuse = refuse || c == '"' || c == '\r' || c == '\n';
        }
        const bool quote = !quoted && !plain;
        if (refuse || (quote && escaped)) {
            refused = spelling;
            return false;
        }
        if (!first)
            line += ' ';
        first = false;
        if (quote)
            line += '"';
        for (const wchar_t c : arg) {
            line += c;
            // The interpreter expands %cd:~,% (an empty slice of the current folder) to nothing.
            // Put right after a %, it keeps that % from starting a variable's name, so the %
            // reaches the program as it is.
            if (c == '%')
                line += L"%cd:~,%";
        }
        // Double the argument's trailing backslashes before the closing quote: a program that
        // the batch file hands %* to would otherwise read \" as a quote inside the argument.
        if (quote)
            line.append(arg.size() - arg.find_last_not_of('\\') - 1, '\\') += '"';
        escaped = false;
    }
    return true;
}

void AppendQuotedIfHolding(std::wstring& line, const std::wstring& text, const wchar_t* breaks) {
    const bool quote = !breaks || text.find_first_of(breaks) != std::wstring::npos;
    if (quote)
        line += '"';
    line += text;
    if (quote)
        line += '"';
    line += ' ';
}

std::wstring QuoteIfHolding(const std::wstring& text, const wchar_t* breaks) {
    std::wstring quoted;
    AppendQuotedIfHolding(quoted, text, breaks);
    quoted.pop_back();
    return quoted;
}

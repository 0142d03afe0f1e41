// Command lines, UTF-16 as the system keeps them, so no character changes on the way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The arguments, element 0 the program: blanks separate them outside quotes, a quote opens a
// stretch up to the next one, quotes are dropped. None is empty or holds a quote.
std::vector<std::wstring> SplitCommandLine(const std::wstring& line);

// What follows the program-name token (as the C runtime reads it) and the blanks after it.
std::wstring_view CallerArgumentText(std::wstring_view line);
std::wstring ProgramNameToken(std::wstring_view line);

// The n-th argument (from 1) of a caller's text in its own spelling, with the C runtime's
// boundaries (a doubled quote in a stretch, one quote to the runtime since 2008, ends it the same).
std::wstring_view CallerArgument(std::wstring_view text, size_t n);

// Appends the caller's arguments (all, or the n-th from 1) to line, which the interpreter runs as
// cmd /e:on /v:off /s /c "...", so that it and a batch file take each as the text the caller meant
// for a program: quoted where a character would mean something, each % made text; in a quoted
// stretch of line as they are. False, with the argument's spelling in refused, for one no command
// line can hand a batch file as text (a quote, a line break), or one a ^ of line would break.
bool AppendForBatch(std::wstring& line, std::wstring_view text, size_t n,
                    std::wstring_view& refused);

// What ends a program's path early unquoted: for the system a space; for the interpreter also
// & | < > ^ ( ) , ; = ("R&D\t.bat" runs "R"). Built-ins (echo) hold none.
inline constexpr wchar_t kSystemBreaks[] = L" ";
inline constexpr wchar_t kInterpreterBreaks[] = L" &|<>^(),;=";
// What ends a word of a stored parameter for the interpreter: ( ) , ; = end only a command's name.
inline constexpr wchar_t kInterpreterWordBreaks[] = L" &|<>^";

// In quotes when it holds one of breaks (always for null); AppendQuotedIfHolding appends it so to
// line and a space after it.
std::wstring QuoteIfHolding(const std::wstring& text, const wchar_t* breaks);
void AppendQuotedIfHolding(std::wstring& line, const std::wstring& text, const wchar_t* breaks);

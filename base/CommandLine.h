// Command lines, UTF-16 as the system keeps them, so no character changes on the way: splitting
// one, the caller's text a helper hands on, and that text kept text for the interpreter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The arguments; element 0 is the program. Blanks (up to U+0020) separate them outside quotes; a
// quote opens a stretch taken as it is up to the next quote or the end; quotes are dropped and
// pieces join. An empty "" argument disappears, so none is empty or holds a quote.
std::vector<std::wstring> SplitCommandLine(const std::wstring& line);

// What follows the program-name token of line and the blanks after it, unchanged. The token is
// read as the C runtime reads it: from a leading quote to the next one, else to a space or tab.
std::wstring_view CallerArgumentText(std::wstring_view line);
// That token, without its quotes.
std::wstring ProgramNameToken(std::wstring_view line);

// The n-th argument (from 1) of a caller's text in its own spelling, quotes and backslashes as
// typed, with the C runtime's boundaries: space and tab end it outside quotes; a quote after an
// even number of backslashes opens or closes a stretch (a doubled quote inside one is a quote of
// its own to the runtime since 2008, and the stretch goes on: the end is the same). Empty when
// there are fewer.
std::wstring_view CallerArgument(std::wstring_view text, size_t n);

// Appends text to line as the interpreter (cmd /s /c "...") must see it to take it as text: a ^
// before each & | < > ^ it would read outside quotes, the quote and escape state carried over
// from line (a ^ that ends line already escapes text's first character).
void AppendForInterpreter(std::wstring& line, std::wstring_view text);

// What ends a program's path early where it is not quoted: for the system a space; for the
// interpreter also & | < > ^ ( ) , ; = ("R&D\t.bat" runs "R"). Built-ins (echo) hold none.
inline constexpr wchar_t kSystemBreaks[] = L" ";
inline constexpr wchar_t kInterpreterBreaks[] = L" &|<>^(),;=";
// The interpreter's operators outside quotes (separators, pipes, redirections, its escape):
// AppendForInterpreter escapes them.
inline constexpr std::wstring_view kInterpreterOperators(kInterpreterBreaks + 1, 5);
// What ends a word of a stored parameter for the interpreter: a blank or an operator (a command's
// name also ends at ( ) , ; =, a word does not).
inline constexpr wchar_t kInterpreterWordBreaks[] = L" &|<>^";

// The text in quotes when it holds one of breaks (always when breaks is null).
std::wstring QuoteIfHolding(const std::wstring& text, const wchar_t* breaks);

// Process command lines: splitting one into arguments, the caller's text a helper hands on,
// and that text made safe to follow a command the interpreter runs. Command lines are UTF-16,
// as the system keeps them, so no character is changed on the way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits line into arguments; element 0 is the program itself. Blanks (up to U+0020 outside
// quotes) separate arguments; a double quote opens a stretch, up to the next quote or the end,
// taken as it is; the quotes themselves are dropped and quoted and unquoted pieces join. Two
// quotes met between arguments are skipped, so an empty "" argument disappears. An argument is
// never empty and never holds a double quote. No length limit applies.
std::vector<std::wstring> SplitCommandLine(const std::wstring& line);

// The caller's argument text in line: what follows the program-name token and the blanks after
// it, unchanged. The token is read as the C runtime reads it: a leading double quote runs to
// the next one (or the end), otherwise the token ends at the first space or tab. Empty when
// nothing follows.
std::wstring_view CallerArgumentText(std::wstring_view line);
// The program-name token of line, read by the same rule, without its quotes.
std::wstring ProgramNameToken(std::wstring_view line);

// The n-th argument (from 1) of a caller's argument text in its own spelling: the stretch of
// text the C runtime takes for it, quotes and backslashes as typed; empty when there are fewer.
// Space and tab end an argument outside quotes; a " after an even number of backslashes opens
// or closes a quoted stretch, which runs to the end when it is not closed. (Two quotes inside a
// stretch are one quote of the argument's own to the Visual C++ runtime since 2008, the UCRT,
// and the stretch goes on: the argument ends where it ends when each quote opens or closes.)
std::wstring_view CallerArgument(std::wstring_view text, size_t n);

// Appends text to line as the interpreter (cmd /s /c "...") must see it to take it as text
// after line: each & | < > ^ of text that the interpreter would read outside double quotes gets
// a ^ in front. The quote state is the interpreter's own, carried over from line (where a ^
// outside quotes escapes the next character, the first of text too when line ends in it): a "
// opens or closes a quoted stretch, and inside one nothing changes.
void AppendForInterpreter(std::wstring& line, std::wstring_view text);

// What ends a program's path early where it is not quoted: for the system a space; for the
// interpreter also & | < > ^ ( ) , ; = (unquoted, "R&D\t.bat" runs "R" and then "D\t.bat").
// Built-in commands (echo) hold none and stay bare, as they must.
inline constexpr wchar_t kSystemBreaks[] = L" ";
inline constexpr wchar_t kInterpreterBreaks[] = L" &|<>^(),;=";
// The interpreter's operators, which it acts on outside quotes: command separators, pipes,
// redirections and its escape (the five after the blank above, so no helper carries them
// twice). EscapeForInterpreter escapes them in a caller's text.
inline constexpr std::wstring_view kInterpreterOperators(kInterpreterBreaks + 1, 5);
// What ends a word handed to the interpreter (a stored parameter): a blank or an operator. A
// command's name ends at ( ) , ; = as well, a word does not.
inline constexpr wchar_t kInterpreterWordBreaks[] = L" &|<>^";

// The text in double quotes when it holds one of breaks, or whatever it holds when breaks is
// null; quotes inside stay as they are.
std::wstring QuoteIfHolding(const std::wstring& text, const wchar_t* breaks);

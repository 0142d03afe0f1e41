// Command lines, kept in UTF-16 as the system keeps them, so that no character changes on its way
// from the caller to the program started.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a command line into its arguments; element 0 is the program. Outside quotes, blanks
// separate arguments. A quote opens a stretch that runs to the next quote, and the quotes
// themselves are dropped. So no argument returned is empty or holds a quote.
std::vector<std::wstring> SplitCommandLine(const std::wstring& line);

// Returns the caller's arguments as written: what follows the program-name token (found the way
// the C runtime finds it) and the blanks after that token.
std::wstring_view CallerArgumentText(std::wstring_view line);
std::wstring ProgramNameToken(std::wstring_view line);

// Returns the n-th argument (counting from 1) of a caller's argument text, spelled as the caller
// wrote it, quotes and all. It starts and ends where the C runtime would split the text. Since 2008
// the runtime reads a doubled quote inside a quoted stretch as one quote; treating it as a closing
// and an opening quote, as this does, ends the argument at the same place.
std::wstring_view CallerArgument(std::wstring_view text, size_t n);

// Appends the caller's arguments to line: all of them when n is 0, otherwise only the n-th
// (counting from 1). The interpreter runs line as cmd /e:on /v:off /s /c "...", and both it and the
// batch file must take each argument as the text the caller meant for a program. So an argument
// is put in quotes when one of its characters would otherwise mean something to the interpreter,
// and each % in it is made plain text. When line already ends inside a quoted stretch, no further
// quotes are added. Returns false, with the argument's spelling in refused, for an argument that
// no command line can hand to a batch file as text (one that holds a quote or a line break), and
// for one that needs quotes right after a ^ at the end of line, which would make the opening quote
// plain text.
bool AppendForBatch(std::wstring& line, std::wstring_view text, size_t n,
                    std::wstring_view& refused);

// The characters that end an unquoted program path early. For the system that is only a space;
// for the interpreter it is also & | < > ^ ( ) , ; = (unquoted, "R&D\t.bat" runs "R"). The names
// of the interpreter's built-in commands (such as echo) hold none of them.
inline constexpr wchar_t kSystemBreaks[] = L" ";
inline constexpr wchar_t kInterpreterBreaks[] = L" &|<>^(),;=";
// The characters that end a word of a stored parameter for the interpreter. ( ) , ; = are not in
// this list because they end only a command's name, not its parameters.
inline constexpr wchar_t kInterpreterWordBreaks[] = L" &|<>^";

// QuoteIfHolding returns text in quotes when it holds one of the characters in breaks (always when
// breaks is null), and as it is otherwise. AppendQuotedIfHolding appends the same to line, followed
// by a space.
std::wstring QuoteIfHolding(const std::wstring& text, const wchar_t* breaks);
void AppendQuotedIfHolding(std::wstring& line, const std::wstring& text, const wchar_t* breaks);

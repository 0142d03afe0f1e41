// Splitting a process command line into arguments, the same rule in both programs.
#pragma once

#include <string>
#include <vector>

// Splits line into arguments; element 0 is the program itself. Blanks (0x00-0x20 outside
// quotes) separate arguments; a double quote opens a stretch, up to the next quote or the end,
// taken as it is; the quotes themselves are dropped and quoted and unquoted pieces join. Two
// quotes met between arguments are skipped, so an empty "" argument disappears. An argument is
// never empty and never holds a double quote. No length limit applies.
std::vector<std::string> SplitCommandLine(const std::string& line);

// The caller's argument text in line: what follows the program-name token and the blanks after
// it, byte for byte. The token is read as the C runtime reads it: a leading double quote runs
// to the next one (or the end), otherwise the token ends at the first space or tab. Empty when
// nothing follows.
std::string CallerArgumentText(const std::string& line);

// How deeply helper commands are nested. Each hands its target its own depth + 1 in an environment
// variable, so a chain that comes back to a helper already running (a -> b -> a, or a helper that
// finds itself) ends with an error instead of running away.
#pragma once

#include <string>

#include "Reports.h"

#define CHAIN_VARIABLE "ORVEX_DEPTH"
#define CHAIN_LIMIT 16
#define CHAIN_TEXT(n) #n
#define CHAIN_NUMBER_TEXT(n) CHAIN_TEXT(n)
inline constexpr wchar_t kChainVariable[] = L"" CHAIN_VARIABLE;
inline constexpr char kChainVariableName[] = CHAIN_VARIABLE;
constexpr unsigned kChainLimit = CHAIN_LIMIT;
// The report of a chain that reached the limit, printed after the alias's name. It is one text put
// together at compile time, so the helper needs no code to write the number at run time.
inline constexpr char kChainLimitReport[] =
    CHAIN_LIMIT_REPORT(CHAIN_VARIABLE, CHAIN_NUMBER_TEXT(CHAIN_LIMIT));
#undef CHAIN_VARIABLE
#undef CHAIN_LIMIT
#undef CHAIN_TEXT
#undef CHAIN_NUMBER_TEXT

// Computes the depth to hand on, as decimal text, from the variable's inherited text (empty when
// the variable is unset). Text that is not a decimal number, blanks around it aside, counts as 0.
// Returns false when the inherited depth has reached kChainLimit.
bool NextChainDepth(const std::wstring& inherited, std::wstring& next);

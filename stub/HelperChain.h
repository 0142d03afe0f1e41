// How deeply helper commands are nested. Each hands its target its own depth + 1 in an environment
// variable, so a chain that comes back to a helper already running (a -> b -> a, or a helper that
// finds itself) ends with an error instead of running away.
#pragma once

#include <string>

#define CHAIN_VARIABLE "ORVEX_DEPTH"
#define CHAIN_LIMIT 16
#define CHAIN_TEXT(n) #n
#define CHAIN_NUMBER_TEXT(n) CHAIN_TEXT(n)
inline constexpr wchar_t kChainVariable[] = L"" CHAIN_VARIABLE;
inline constexpr char kChainVariableName[] = CHAIN_VARIABLE;
constexpr unsigned kChainLimit = CHAIN_LIMIT;
// The report of a chain at the limit, after the alias's name: one text, no number made at run time.
inline constexpr char kChainLimitReport[] =
    " の呼び出しが循環しています (" CHAIN_VARIABLE
    " が " CHAIN_NUMBER_TEXT(CHAIN_LIMIT) " に達しました)。";
#undef CHAIN_VARIABLE
#undef CHAIN_LIMIT
#undef CHAIN_TEXT
#undef CHAIN_NUMBER_TEXT

// The depth to hand on, as decimal text, from the variable's inherited text (empty when unset);
// what is no decimal number (blanks around it aside) counts as 0. False at kChainLimit.
bool NextChainDepth(const std::wstring& inherited, std::wstring& next);

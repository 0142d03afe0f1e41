// How deeply helper commands are nested. Each helper hands its target its own depth + 1 in an
// environment variable, so a chain of helpers that comes back to one already running (a -> b
// -> a, or a helper that finds itself) ends with an error instead of running away.
#pragma once

#include <string>

// The variable, its limit and the report's words for them, each written once.
#define CHAIN_VARIABLE "ORVEX_DEPTH"
#define CHAIN_LIMIT 16
#define CHAIN_TEXT(x) #x
#define CHAIN_DECIMAL(x) CHAIN_TEXT(x)
inline constexpr wchar_t kChainVariable[] = L"" CHAIN_VARIABLE;
inline constexpr char kChainVariableName[] = CHAIN_VARIABLE;
constexpr unsigned kChainLimit = CHAIN_LIMIT;
// The report's words for the limit: "ORVEX_DEPTH が 16 に達しました".
inline constexpr char kChainMessage[] =
    CHAIN_VARIABLE " が " CHAIN_DECIMAL(CHAIN_LIMIT) " に達しました";
#undef CHAIN_DECIMAL
#undef CHAIN_TEXT
#undef CHAIN_LIMIT
#undef CHAIN_VARIABLE

// The depth to hand on, as decimal text, given the variable's inherited text (empty when it is
// unset). A text that is not a decimal number (blanks around it allowed) counts as depth 0.
// False when the inherited depth has reached kChainLimit.
bool NextChainDepth(const std::wstring& inherited, std::wstring& next);

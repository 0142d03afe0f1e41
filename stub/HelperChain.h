// How deeply helper commands are nested. Each hands its target its own depth + 1 in an environment
// variable, so a chain that comes back to a helper already running (a -> b -> a, or a helper that
// finds itself) ends with an error instead of running away.
#pragma once

#include <string>

#define CHAIN_VARIABLE "ORVEX_DEPTH"
inline constexpr wchar_t kChainVariable[] = L"" CHAIN_VARIABLE;
inline constexpr char kChainVariableName[] = CHAIN_VARIABLE;
#undef CHAIN_VARIABLE
constexpr unsigned kChainLimit = 16;

// The depth to hand on, as decimal text, from the variable's inherited text (empty when unset);
// what is no decimal number (blanks around it aside) counts as 0. False at kChainLimit.
bool NextChainDepth(const std::wstring& inherited, std::wstring& next);

// How deeply helper commands are nested. Each helper hands its target its own depth + 1 in an
// environment variable, so a chain of helpers that comes back to one already running (a -> b
// -> a, or a helper that finds itself) ends with an error instead of running away.
#pragma once

#include <string>

constexpr wchar_t kChainVariable[] = L"ORVEX_DEPTH";
constexpr unsigned kChainLimit = 16;
// The limit as the report names it.
constexpr char kChainMessage[] = "ORVEX_DEPTH が 16 に達しました";

// The depth to hand on, as decimal text, given the variable's inherited text (empty when it is
// unset). A text that is not a decimal number (blanks around it allowed) counts as depth 0.
// False when the inherited depth has reached kChainLimit.
bool NextChainDepth(const std::wstring& inherited, std::wstring& next);

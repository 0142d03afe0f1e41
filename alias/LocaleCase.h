// The locale's case mappings (CharUpperBuffA / CharLowerBuffA). Kept apart from the other text
// helpers because they bring in user32.dll, which the helper command must not import.
#pragma once

#include <string>

std::string UpperLocale(const std::string& text);
std::string LowerLocale(const std::string& text);

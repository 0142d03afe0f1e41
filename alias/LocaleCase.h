// The locale's upper case (CharUpperBuffA), which only the manager uses: it brings in
// user32.dll, which the helper command must not import.
#pragma once

#include <string>

std::string UpperLocale(const std::string& text);

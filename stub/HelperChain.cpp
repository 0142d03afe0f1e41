#include "HelperChain.h"

#include "Format.h"
#include "Text.h"

bool NextChainDepth(const std::wstring& inherited, std::wstring& next) {
    unsigned depth = 0;
    for (const wchar_t c : TrimBlanks(inherited)) {
        if (c < '0' || c > '9') {
            depth = 0;
            break;
        }
        // Stop adding digits once past the limit, so a long number cannot overflow: it is over
        // the limit either way.
        if (depth <= kChainLimit)
            depth = depth * 10 + unsigned(c - '0');
    }
    if (depth >= kChainLimit)
        return false;
    next = FormatNumber<std::wstring>(depth + 1, 10);
    return true;
}

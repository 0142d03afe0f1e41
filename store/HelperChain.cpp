#include "HelperChain.h"

bool NextChainDepth(const std::wstring& inherited, std::wstring& next) {
    size_t b = 0, e = inherited.size();
    while (b < e && inherited[b] <= 0x20)
        ++b;
    while (e > b && inherited[e - 1] <= 0x20)
        --e;
    unsigned depth = 0;
    for (size_t i = b; i < e; ++i) {
        const wchar_t c = inherited[i];
        if (c < '0' || c > '9') {
            depth = 0;
            break;
        }
        if (depth <= kChainLimit) // saturates: any longer number is over the limit as well
            depth = depth * 10 + unsigned(c - '0');
    }
    if (depth >= kChainLimit)
        return false;
    next.clear();
    for (unsigned n = depth + 1; n; n /= 10)
        next.insert(next.begin(), wchar_t('0' + n % 10));
    return true;
}

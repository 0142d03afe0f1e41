#include "HelperChain.h"

#include "TextUtils.h"

bool NextChainDepth(const std::string& inherited, std::string& next) {
    const std::string digits = TrimBlanks(inherited);
    unsigned depth = 0;
    for (char c : digits) {
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
        next.insert(next.begin(), char('0' + n % 10));
    return true;
}

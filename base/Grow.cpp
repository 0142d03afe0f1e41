#include "Grow.h"

#include <windows.h>

template <class C>
static bool Fill(std::basic_string<C>& text, TFill<C> fill, const void* context) {
    // A path fits in the first buffer or in the second, which has the size the call asked for.
    // The further attempts are for calls that cannot tell the size they need; the limit keeps a
    // call that never fits from looping for ever.
    const int kAttempts = 8;
    text.assign(MAX_PATH + 1, C());
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const size_t n = fill(&text[0], text.size(), context);
        if (n == 0)
            break;
        if (n < text.size()) {
            text.resize(n);
            return true;
        }
        text.assign(n + 1, C());
    }
    text.clear();
    return false;
}

bool FillGrowing(std::string& text, TFill<char> fill, const void* context) {
    return Fill(text, fill, context);
}

bool FillGrowing(std::wstring& text, TFill<wchar_t> fill, const void* context) {
    return Fill(text, fill, context);
}

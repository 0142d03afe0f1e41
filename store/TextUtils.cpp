#include "TextUtils.h"

#include "Handle.h"

std::string TrimLeftBlanks(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b]))
        ++b;
    return s.substr(b);
}

std::string TrimRightBlanks(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1]))
        --e;
    return s.substr(0, e);
}

std::string TrimBlanks(const std::string& s) {
    return TrimRightBlanks(TrimLeftBlanks(s));
}

size_t MbcsPos(const std::string& sub, const std::string& s) {
    if (s.empty() || sub.empty())
        return 0;
    const size_t n = s.size();
    for (size_t i = 0; i < n; i += CharLength(s, i))
        if (s.compare(i, sub.size(), sub) == 0 && n - i >= sub.size())
            return i + 1;
    return 0;
}

size_t LastCharPos(const std::string& set, const std::string& text) {
    size_t last = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; i += CharLength(text, i))
        if (CharLength(text, i) == 1 && set.find(text[i]) != std::string::npos)
            last = i + 1;
    return last;
}

std::string LowerAscii(const std::string& text) {
    std::string out = text;
    const size_t n = out.size();
    for (size_t i = 0; i < n; i += CharLength(out, i))
        if (CharLength(out, i) == 1 && out[i] >= 'A' && out[i] <= 'Z')
            out[i] = char(out[i] - 'A' + 'a');
    return out;
}

static int Compare(const std::string& a, const std::string& b, DWORD flags) {
    return CompareStringA(LOCALE_USER_DEFAULT, flags, a.c_str(), -1, b.c_str(), -1) - CSTR_EQUAL;
}

int CompareLocale(const std::string& a, const std::string& b) {
    return Compare(a, b, 0);
}

int CompareLocaleNoCase(const std::string& a, const std::string& b) {
    return Compare(a, b, NORM_IGNORECASE);
}

bool FileFound(const std::string& path) {
    WIN32_FIND_DATAA fd;
    TFindHandle find(FindFirstFileA(path.c_str(), &fd));
    return find.Valid();
}

bool IsExistingFile(const std::string& path) {
    WIN32_FIND_DATAA fd;
    TFindHandle find(FindFirstFileA(path.c_str(), &fd));
    return find.Valid() && !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectory(const std::string& path) {
    WIN32_FIND_DATAA fd;
    TFindHandle find(FindFirstFileA(path.c_str(), &fd));
    if (find.Valid())
        return (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A find-first matches no drive root ("C:\") and no path ending in "\"; those are
    // folders all the same.
    const DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

std::string QuoteIfSpaced(const std::string& text) {
    return MbcsPos(" ", text) ? "\"" + text + "\"" : text;
}

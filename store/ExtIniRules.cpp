// The rules of the model that the helper's one-pass reading (AliasSection) shares, kept apart
// so the helper links them without the model itself.
#include <windows.h>

#include "ExtIniFile.h"
#include "TextUtils.h"

std::string LocaleSortKey(const std::string& text, bool ignoreCase) {
    const DWORD flags = LCMAP_SORTKEY | (ignoreCase ? NORM_IGNORECASE : 0);
    // Most keys fit the first try; a longer one is measured and made again.
    std::string key(256, '\0');
    int n = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, &key[0], int(key.size()));
    if (n <= 0 &&
        (n = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, nullptr, 0)) > 0) {
        key.assign(size_t(n), '\0');
        n = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, &key[0], n);
    }
    if (n > 0) {
        key.resize(size_t(n));
        return key;
    }
    // No sort key: CompareStringA fails on such text too, so it equals nothing. Sort keys
    // never start with a zero byte, so this cannot collide with a real one.
    key.assign(1, '\0');
    return key + text;
}

void TExtIniItem::SplitLine(const std::string& line, std::string& key, std::string& value) {
    const std::string t = TrimBlanks(line);
    const size_t p = MbcsPos("=", t);
    if (p > 1 && t[0] != ';') {
        key = TrimBlanks(t.substr(0, p - 1));
        value = TrimRightBlanks(t.substr(p));
        if (!key.empty())
            return;
    }
    key.clear();
    value = line;
}

// Every line the model or the helper reads is tested here, so nothing is copied but the name.
bool TExtIniFile::IsSectionHeader(const std::string& line, std::string& name) {
    const char* p = line.data();
    size_t b = 0, e = line.size();
    while (b < e && IsBlank(p[b]))
        ++b;
    if (b == e || p[b] != '[')
        return false;
    while (e > b && IsBlank(p[e - 1]))
        --e;
    if (e - b < 2 || p[e - 1] != ']')
        return false;
    size_t last = b;
    while (last < e - 1)
        last += CharLength(line, last);
    if (last != e - 1)
        return false;
    size_t nb = b + 1, ne = e - 1;
    while (nb < ne && IsBlank(p[nb]))
        ++nb;
    while (ne > nb && IsBlank(p[ne - 1]))
        --ne;
    name.assign(p + nb, ne - nb);
    return true;
}

bool ReadEnvEntry(const std::string& key, const std::string& itemValue, std::string& name,
                  std::string& value) {
    if (LowerAscii(key.substr(0, 4)) != "env:")
        return false;
    name = TrimBlanks(key.substr(4));
    value = TrimRightBlanks(itemValue);
    return !name.empty();
}

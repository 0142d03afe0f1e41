// The rules of the model that the helper's one-pass reading (AliasSection) shares, kept apart
// so the helper links them without the model itself.
#include <windows.h>

#include "AliasSection.h"
#include "ExtIniFile.h"
#include "TextUtils.h"

std::string LocaleSortKey(const std::string& text, bool ignoreCase) {
    const DWORD flags = LCMAP_SORTKEY | (ignoreCase ? NORM_IGNORECASE : 0);
    const int n = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, nullptr, 0);
    std::string key(n > 0 ? size_t(n) : 0, '\0');
    if (n > 0 && LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, &key[0], n) == n)
        return key;
    // No sort key: CompareStringA fails on such text too, so it equals nothing. Sort keys
    // never start with a zero byte, so this cannot collide with a real one.
    return std::string(1, '\0') + text;
}

std::string FileNameKey(const std::string& name) {
    const char* text = name.c_str();
    const int n = int(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    std::string key(text, size_t(n));
    if (IsPlainAscii(text, size_t(n))) {
        for (char& c : key)
            if (c >= 'a' && c <= 'z')
                c -= 'a' - 'A';
        return key;
    }
    // The UTF-16 code units as bytes (never more units than bytes), upper-cased in place, then
    // a byte that ends no printable-ASCII key.
    std::string wide(size_t(n) * 2 + 1, '\1');
    auto* units = reinterpret_cast<LPWSTR>(&wide[0]);
    const int count = MultiByteToWideChar(CP_ACP, 0, text, n, units, n);
    if (count <= 0 ||
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, units, count, units, count) != count)
        return key + '\2'; // the system cannot convert it: the bytes alone, marked apart
    wide[size_t(count) * 2] = '\1';
    wide.resize(size_t(count) * 2 + 1);
    return wide;
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

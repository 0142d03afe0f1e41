#include "Text.h"

#include <windows.h>

#include "Grow.h"

template <class S, class V> static S JoinPieces(std::initializer_list<V> pieces) {
    size_t n = 0;
    for (const V& p : pieces)
        n += p.size();
    S out;
    out.reserve(n);
    for (const V& p : pieces)
        out.append(p.data(), p.size());
    return out;
}

std::string Join(std::initializer_list<std::string_view> pieces) {
    return JoinPieces<std::string>(pieces);
}

std::wstring Join(std::initializer_list<std::wstring_view> pieces) {
    return JoinPieces<std::wstring>(pieces);
}

template <class S> static S Trimmed(const S& s, bool left, bool right) {
    size_t b = 0, e = s.size();
    while (left && b < e && IsBlank(s[b]))
        ++b;
    while (right && e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::string TrimLeftBlanks(const std::string& s) {
    return Trimmed(s, true, false);
}
std::string TrimRightBlanks(const std::string& s) {
    return Trimmed(s, false, true);
}
std::string TrimBlanks(const std::string& s) {
    return Trimmed(s, true, true);
}
std::wstring TrimBlanks(const std::wstring& s) {
    return Trimmed(s, true, true);
}

size_t MbcsPos(const std::string& sub, const std::string& s, TTextEncoding encoding) {
    if (s.empty() || sub.empty())
        return 0;
    const size_t n = s.size();
    for (size_t i = 0; i < n; i += CharLength(s, i, encoding))
        if (s.compare(i, sub.size(), sub) == 0 && n - i >= sub.size())
            return i + 1;
    return 0;
}

size_t LastCharPos(const std::string& set, const std::string& text, TTextEncoding encoding) {
    size_t last = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; i += CharLength(text, i, encoding))
        if (CharLength(text, i, encoding) == 1 && set.find(text[i]) != std::string::npos)
            last = i + 1;
    return last;
}

std::string LowerAscii(const std::string& text, TTextEncoding encoding) {
    std::string out = text;
    const size_t n = out.size();
    for (size_t i = 0; i < n; i += CharLength(out, i, encoding))
        if (CharLength(out, i, encoding) == 1)
            out[i] = LowerAsciiChar(out[i]);
    return out;
}

static int Compare(const std::string& a, const std::string& b, DWORD flags) {
    return CompareStringA(LOCALE_USER_DEFAULT, flags, a.c_str(), -1, b.c_str(), -1) - CSTR_EQUAL;
}

// Converts text up to its first NUL to UTF-16 for the locale's calls. Code page 932 is read the way
// the ANSI calls read it, so the results agree with theirs. UTF-8 is converted exactly, and bytes
// that are not valid UTF-8 are read as code page 932, the way the helper reads such bytes.
static std::wstring LocaleText(const std::string& text, TTextEncoding encoding) {
    const std::string upToNul = text.substr(0, text.find('\0'));
    std::wstring wide;
    return encoding == teUtf8 && ToWide(upToNul, teUtf8, wide) ? wide : AnsiCallText(upToNul);
}

int CompareLocale(const std::string& a, const std::string& b, TTextEncoding encoding) {
    if (encoding == teCp932)
        return Compare(a, b, 0);
    // There is no ANSI comparison for UTF-8 text, so compare the texts' sort keys instead: they
    // order texts the same way the comparison does.
    const int order = LocaleSortKey(a, false, encoding).compare(LocaleSortKey(b, false, encoding));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

int CompareLocaleNoCase(const std::string& a, const std::string& b) {
    return Compare(a, b, NORM_IGNORECASE);
}

bool IsPlainAscii(const char* text, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

bool PlainAsciiComparesAsBytes(LCID locale) {
    // Japanese and English are known to treat printable ASCII this way. Other languages may not
    // (Turkish folds the case of "I" differently), so for them the locale call must decide.
    const LCID lang = PRIMARYLANGID(LANGIDFROMLCID(ConvertDefaultLocale(locale)));
    return lang == LANG_JAPANESE || lang == LANG_ENGLISH;
}

std::string LocaleSortKey(const std::string& text, bool ignoreCase, TTextEncoding encoding) {
    const DWORD flags = LCMAP_SORTKEY | (ignoreCase ? NORM_IGNORECASE : 0);
    const std::wstring wide = LocaleText(text, encoding);
    std::string key;
    // A sort key is bytes, even from the wide call. When the buffer is too small the call returns
    // 0 instead of the size it needs, so the size is then asked for with a second call.
    if (!wide.empty() && FillGrowing(key, [&](char* buffer, size_t capacity) {
            const int n = LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.c_str(), -1,
                                       reinterpret_cast<LPWSTR>(buffer), int(capacity));
            return size_t(
                n > 0 ? n : LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.c_str(), -1, nullptr, 0));
        }))
        return key;
    // No sort key could be made, and the comparison fails on such text as well, so it must not
    // equal any text that has a real key. No real sort key starts with a zero byte, so this one
    // cannot.
    return std::string(1, '\0') + text;
}

std::wstring FoldFileName(std::wstring name) {
    // Each UTF-16 unit is folded on its own, as the file system does, so a character outside the
    // basic plane (a surrogate pair) keeps its case.
    for (wchar_t& c : name)
        if (c < 0xD800 || c > 0xDFFF)
            LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &c, 1, &c, 1);
    return name;
}

std::string FileNameKey(const std::string& name, TTextEncoding encoding) {
    const std::string upToNul = name.substr(0, name.find('\0'));
    if (IsPlainAscii(upToNul)) {
        std::string key = upToNul;
        for (char& c : key)
            if (c >= 'a' && c <= 'z')
                c -= 'a' - 'A';
        return key;
    }
    // The key is the folded UTF-16 units as bytes, followed by "\1", which no ASCII key ends with,
    // so it never equals an ASCII name's key. Bytes that are not text in the encoding keep their
    // own bytes, followed by "\2", so they equal only the very same bytes.
    std::wstring units;
    if (!FileTextToWide(upToNul, encoding, units))
        return upToNul + '\2';
    units = FoldFileName(units);
    return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2) + '\1';
}

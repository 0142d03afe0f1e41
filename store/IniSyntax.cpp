#include "IniSyntax.h"

#include <windows.h>

#include "Text.h"

void SplitKeyLine(const std::string& line, std::string& key, std::string& value, TTextEncoding) {
    const std::string t = TrimBlanks(line);
    // Searching for "=" byte by byte is safe: "=" (0x3D) is never the second byte of a character in
    // either encoding.
    const size_t p = t.find('=');
    if (p != t.npos && p > 0 && t[0] != ';') {
        key = TrimBlanks(t.substr(0, p));
        value = TrimRightBlanks(t.substr(p + 1));
        if (!key.empty())
            return;
    }
    key.clear();
    value = line;
}

// Every line that the model or the helper reads is tested here, so the test works in place and
// copies nothing but the name.
bool IsSectionHeader(const std::string& line, std::string& name, TTextEncoding encoding) {
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
        last += CharLength(line, last, encoding);
    if (last != e - 1)
        return false;
    size_t nb = b + 1, ne = e - 1;
    while (nb < ne && IsBlank(p[nb]))
        ++nb;
    while (ne > nb && IsBlank(p[ne - 1]))
        --ne;
    // Constructed rather than assigned, which keeps std::string's replace code out of the helper.
    name = std::string(p + nb, ne - nb);
    return true;
}

bool IsWritableName(const std::string& name, TTextEncoding encoding) {
    TEncodingRule rule;
    rule.Feed(name.data(), name.size());
    return name.find_first_of("\r\n") == std::string::npos &&
           (encoding == teCp932 || rule.WellFormed());
}

bool IsWritableLine(const std::string& key, const std::string& value, TTextEncoding encoding) {
    const std::string k = TrimBlanks(key);
    const std::string v = TrimRightBlanks(value);
    const std::string text = k.empty() ? v : k + "=" + v;
    // A line must hold only what a header could carry, and must not read back as a header itself.
    std::string name, readKey, readValue;
    if (!IsWritableName(text, encoding) || IsSectionHeader(text, name, encoding))
        return false;
    SplitKeyLine(text, readKey, readValue, encoding);
    // An empty plain line would be appended at the end of the section, where loading drops it as a
    // trailing blank line.
    if (k.empty())
        return !text.empty() && readKey.empty();
    return readKey == k && readValue == v;
}

bool SameSectionName(const std::string& a, const std::string& b, TTextEncoding encoding) {
    if (IsPlainAscii(a) && IsPlainAscii(b))
        return EqualAsciiNoCase(a, b);
    return FileNameKey(a, encoding) == FileNameKey(b, encoding);
}

namespace {
// Whether printable ASCII compares as bytes in the user's locale: 0 not yet asked, 1 no, 2 yes.
int AsciiComparesAsBytes = 0;
} // namespace

bool SameKey(const std::string& a, const std::string& b, TTextEncoding encoding) {
    if (AsciiComparesAsBytes == 0)
        AsciiComparesAsBytes = PlainAsciiComparesAsBytes(LOCALE_USER_DEFAULT) ? 2 : 1;
    if (AsciiComparesAsBytes == 2 && IsPlainAscii(a) && IsPlainAscii(b))
        return a == b;
    return CompareLocale(a, b, encoding) == 0;
}

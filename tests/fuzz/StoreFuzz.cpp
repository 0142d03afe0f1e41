// Fuzz target of the definition-file store. For every input:
// - it loads, and load -> save -> load -> save gives the same bytes twice;
// - every lookup (the input's section names and keys, in other cases and spacings too) gives the
//   answer of a plain reading of the rules (names compared as file names, keys by
//   CompareStringA, walked line by line, no indexes), and the same answer after the save; a
//   found item lies in the section it was found in;
// - a few edits are each either refused, leaving the model's bytes as they were, or read back
//   after a save with the value they stored; the model knows whether they changed its bytes,
//   and what it then saves loads and saves to the same bytes.
#include <windows.h>

#include <algorithm>
#include <functional>

#include "Encoding.h"
#include "ExtIniFile.h"
#include "FuzzDriver.h"

namespace {

using fuzz::Below;

const std::string kNone = "\x01<none>";

// ---- A plain reading of the rules --------------------------------------------------------

bool Blank(unsigned char c) {
    return c <= 0x20;
}
std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && Blank(s[b]))
        ++b;
    while (e > b && Blank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}
std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && Blank(s[e - 1]))
        --e;
    return s.substr(0, e);
}
// The file's encoding: a UTF-8 mark, or bytes the system takes for UTF-8 throughout that hold a
// byte of 0x80 or more, make it UTF-8.
bool Utf8 = false;

// Text up to its first NUL in UTF-16: UTF-8 when the file is (by the code page 932 reading
// when the system refuses it as UTF-8), code page 932 by the ANSI code page.
std::wstring Decoded(const std::string& s) {
    const std::string text = s.substr(0, s.find('\0'));
    std::wstring w(text.size() + 1, L'\0');
    int n = Utf8 ? MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, &w[0],
                                       int(w.size()))
                 : 0;
    if (n <= 0)
        n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &w[0], int(w.size()));
    w.resize(n > 0 ? size_t(n - 1) : 0);
    return w;
}
bool Same(const std::string& a, const std::string& b) {
    if (!Utf8)
        return CompareStringA(LOCALE_USER_DEFAULT, 0, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
    return CompareStringW(LOCALE_USER_DEFAULT, 0, Decoded(a).c_str(), -1, Decoded(b).c_str(), -1) ==
           CSTR_EQUAL;
}
// Section names as file names: up to the first NUL, in UTF-16 converted exactly (UTF-8 when
// the file is, else or failing that code page 932), each UTF-16 unit upper-cased on its own.
// Bytes that are no text in either name no other name's file.
bool AsFileName(const std::string& s, std::wstring& w) {
    const std::string text = s.substr(0, s.find('\0'));
    w.assign(text.size() + 1, L'\0');
    int n = 0;
    for (const UINT cp : {Utf8 ? UINT(CP_UTF8) : UINT(932), UINT(932)})
        if (n <= 0)
            n = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, text.c_str(), -1, &w[0],
                                    int(w.size()));
    w.resize(n > 0 ? size_t(n - 1) : 0);
    for (wchar_t& c : w)
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &c, 1, &c, 1);
    return n > 0;
}
bool SameName(const std::string& a, const std::string& b) {
    std::wstring x, y;
    const bool textA = AsFileName(a, x), textB = AsFileName(b, y);
    return textA && textB
               ? x == y
               : !textA && !textB && a.substr(0, a.find('\0')) == b.substr(0, b.find('\0'));
}

struct TRefSection {
    std::string name;
    bool named = false;
    std::vector<std::pair<std::string, std::string>> keys;
};

struct TRefFile {
    std::vector<TRefSection> sections; // [0] is the preamble

    // The header rule: trimmed "[" ... "]", the "]" a character of its own: in UTF-8 every
    // ASCII byte is, in code page 932 not the second byte of a double-byte character.
    static bool Header(const std::string& line, std::string& name) {
        const std::string t = Trim(line);
        if (t.size() < 2 || t[0] != '[')
            return false;
        size_t i = 0, last = 0;
        while (i < t.size()) {
            last = i;
            const unsigned char a = t[i];
            const unsigned char b = i + 1 < t.size() ? t[i + 1] : 0;
            const bool lead = !Utf8 && ((a >= 0x81 && a <= 0x9F) || (a >= 0xE0 && a <= 0xFC));
            const bool trail = (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
            i += lead && i + 1 < t.size() && trail ? 2 : 1;
        }
        if (last != t.size() - 1 || t[last] != ']')
            return false;
        name = Trim(t.substr(1, t.size() - 2));
        return true;
    }

    int Find(const std::string& name) const {
        const std::string n = Trim(name);
        if (n.empty())
            return -1;
        for (size_t i = 1; i < sections.size(); ++i)
            if (sections[i].named && SameName(sections[i].name, n))
                return int(i);
        return -1;
    }

    explicit TRefFile(const std::string& bytes) {
        sections.emplace_back();
        size_t current = 0;
        size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        const std::string rest = bytes.substr(at);
        Utf8 =
            at == 3 || (std::any_of(rest.begin(), rest.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) &&
                        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, rest.data(),
                                            int(rest.size()), nullptr, 0) > 0);
        while (at < bytes.size()) {
            std::string line;
            while (at < bytes.size() && bytes[at] != '\n') {
                if (bytes[at] != '\r')
                    line += bytes[at];
                ++at;
            }
            ++at;
            std::string name;
            if (Header(line, name)) {
                const int known = Find(name);
                if (known >= 0) {
                    current = size_t(known);
                } else {
                    sections.emplace_back();
                    sections.back().name = name;
                    sections.back().named = !name.empty();
                    current = sections.size() - 1;
                }
                continue;
            }
            const std::string t = Trim(line);
            const size_t eq = t.find('=');
            if (eq == std::string::npos || eq == 0 || t[0] == ';')
                continue;
            const std::string key = Trim(t.substr(0, eq));
            if (key.empty())
                continue;
            auto& keys = sections[current].keys;
            if (std::none_of(keys.begin(), keys.end(),
                             [&](const std::pair<std::string, std::string>& k) {
                                 return Same(k.first, key);
                             }))
                keys.emplace_back(key, TrimRight(t.substr(eq + 1)));
        }
    }

    std::string Read(const std::string& section, const std::string& key) const {
        const int s = Find(section);
        const std::string k = Trim(key);
        if (s < 0 || k.empty())
            return kNone;
        for (const auto& kv : sections[size_t(s)].keys)
            if (Same(kv.first, k))
                return kv.second;
        return kNone;
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TRefSection& s : sections)
            if (s.named)
                names.push_back(s.name);
        return names;
    }
};

// ---- The checks --------------------------------------------------------------------------

std::vector<std::string> Names(const TExtIniFile& ini) {
    std::vector<std::string> names;
    for (const TExtIniSection* s = ini.FirstSection(); s; s = s->Next())
        names.push_back(s->Name());
    return names;
}

// The model's own bookkeeping: the indexes against the lists.
std::string CheckShape(const TExtIniFile& ini) {
    for (const TExtIniSection* s = ini.FirstSection(); s; s = s->Next()) {
        if (ini.FindSection(s->Name()) != s)
            return "a section is not found by its own name";
        for (const TExtIniItem* i = s->First(); i; i = i->Next())
            if (!i->Key().empty() && s->FindItem(i->Key()) != i)
                return "a key line is not the one found by its key";
    }
    return std::string();
}

bool Holds(const TExtIniSection* s, const TExtIniItem* item) {
    for (const TExtIniItem* i = s->First(); i; i = i->Next())
        if (i == item)
            return true;
    return false;
}

std::string CaseFlip(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

// Section names and keys to ask for: what the input's lines hold, in a few spellings.
void Questions(const std::string& input, const TRefFile& ref, std::vector<std::string>& names,
               std::vector<std::string>& keys) {
    auto add = [](std::vector<std::string>& to, const std::string& s, size_t cap) {
        if (to.size() < cap && std::find(to.begin(), to.end(), s) == to.end())
            to.push_back(s);
    };
    for (const TRefSection& s : ref.sections) {
        add(names, s.name, 4);
        for (const auto& kv : s.keys)
            add(keys, kv.first, 5);
    }
    // Loose pieces of lines: the start of a line that is no header, what stands before "=".
    size_t at = 0;
    while (at < input.size() && (names.size() < 5 || keys.size() < 7)) {
        size_t end = input.find('\n', at);
        if (end == std::string::npos)
            end = input.size();
        const std::string line = input.substr(at, end - at);
        at = end + 1;
        const std::string t = Trim(line);
        if (t.size() > 1 && t[0] == '[')
            add(names, t.substr(1, t.size() - 2), 5);
        add(keys, t.substr(0, t.find('=')), 7);
    }
    const size_t nNames = names.size(), nKeys = keys.size();
    for (size_t i = 0; i < nNames; ++i)
        add(names, " " + CaseFlip(names[i]) + "\t", 7);
    for (size_t i = 0; i < nKeys; ++i) {
        add(keys, CaseFlip(keys[i]), 10);
        add(keys, "  " + keys[i] + " ", 12);
    }
    add(names, "", 8);
}

std::string Printable(const std::string& s) {
    return "\"" + fuzz::Hex(s) + "\"";
}

// Everything the model answers, for comparing two models.
std::string Answers(const TExtIniFile& ini, const std::vector<std::string>& names,
                    const std::vector<std::string>& keys) {
    std::string all;
    for (const std::string& n : Names(ini))
        all += "[" + n + "]";
    for (const std::string& n : names)
        for (const std::string& k : keys)
            all += ini.ReadValue(n, k, kNone) + "\n";
    return all;
}

// A question put to a file in another encoding: the bytes that encoding gives the same text.
// A save changes the encoding only of a text that is ASCII alone, which reads the same in both;
// a question that the other encoding cannot ask is not put.
bool Reworded(const std::string& q, TTextEncoding from, TTextEncoding to, std::string& out) {
    std::wstring text;
    out = q;
    return from == to || (ToWide(q, from, text) && FromWide(text, to, out));
}

// The questions, each as the file in the other encoding asks it, and as this one does.
void RewordAll(std::vector<std::string>& questions, TTextEncoding from, TTextEncoding to,
               std::vector<std::string>& reworded) {
    std::vector<std::string> kept;
    std::string out;
    for (const std::string& q : questions)
        if (Reworded(q, from, to, out))
            kept.push_back(q), reworded.push_back(out);
    questions.swap(kept);
}

bool Load(const std::string& bytes, const char* file, TExtIniFile& ini) {
    const std::string path = fuzz::WorkDir() + file;
    return fuzz::WriteBytes(path, bytes) && ini.LoadFromFile(path);
}

std::string Bytes(const TExtIniFile& ini) {
    std::string out;
    ini.WriteTo(out);
    return out;
}

std::string Check(const std::string& input) {
    TExtIniFile first;
    if (!Load(input, "in.ini", first))
        return "the input does not load";
    // What would read back in another encoding or as another file is never saved (Save refuses
    // it), so nothing is asked of a save; the lookups still are.
    const bool saves = first.KeepsEncoding() && first.ReadsBackAsItself();
    const std::string saved = saves ? Bytes(first) : input;
    TExtIniFile second;
    if (!Load(saved, "saved.ini", second))
        return "the saved bytes do not load";
    // A save keeps the mark, or keeps its absence.
    if (saves &&
        (saved.compare(0, 3, "\xEF\xBB\xBF") == 0) != (input.compare(0, 3, "\xEF\xBB\xBF") == 0))
        return "a save adds or drops the UTF-8 mark";
    if (saves && Bytes(second) != saved)
        return "load -> save -> load -> save is not byte-stable";
    for (const TExtIniFile* ini : {&first, &second}) {
        const std::string shape = CheckShape(*ini);
        if (!shape.empty())
            return shape;
    }

    const TRefFile ref(input);
    if (Names(first) != ref.Names())
        return "the named sections differ from the rules";
    if (saves && Names(second) != ref.Names())
        return "a save changed the named sections";
    std::vector<std::string> names, keys;
    Questions(input, ref, names, keys);
    for (const std::string& n : names) {
        const TExtIniSection* s1 = first.FindSection(n);
        for (const std::string& k : keys) {
            const std::string want = ref.Read(n, k);
            const std::string got = first.ReadValue(n, k, kNone);
            if (got != want)
                return "lookup " + Printable(n) + " " + Printable(k) + " gives " + Printable(got) +
                       ", the rules " + Printable(want);
            std::string n2, k2;
            if (saves && Reworded(n, first.Encoding(), second.Encoding(), n2) &&
                Reworded(k, first.Encoding(), second.Encoding(), k2) &&
                second.ReadValue(n2, k2, kNone) != got)
                return "lookup " + Printable(n) + " " + Printable(k) + " changed by a save";
            const TExtIniItem* item = s1 ? s1->FindItem(k) : nullptr;
            if (item && !Holds(s1, item))
                return "lookup " + Printable(n) + " " + Printable(k) +
                       " returns an item of another section";
        }
    }

    // Edits chosen by the input itself, so a replay repeats them.
    std::mt19937 rng(uint32_t(std::hash<std::string>()(input)));
    static const char* const pieces[] = {"k",
                                         "app",
                                         "A",
                                         "a",
                                         " ",
                                         "=",
                                         ";",
                                         "[",
                                         "]",
                                         "\r",
                                         "\n",
                                         "\t",
                                         "\x83",
                                         "\x5D",
                                         "\x83\x5D",
                                         "\xEF\xBB\xBF",
                                         "env:",
                                         "x",
                                         "\xE3\x83\x84",
                                         "\xC3\xA9",
                                         "\xF0\x9F\x98\x80"};
    auto piece = [&] {
        std::string s;
        for (size_t n = Below(rng, 4); n > 0; --n)
            s += pieces[Below(rng, sizeof pieces / sizeof *pieces)];
        return s;
    };
    auto pick = [&](const std::vector<std::string>& from) {
        return from.empty() || rng() % 3 == 0 ? piece() : from[Below(rng, from.size())];
    };
    std::vector<std::pair<std::string, std::string>> written;
    std::string edits; // what was done, for the report
    const std::string original = Bytes(first);
    bool sectionsChanged = false;
    for (int e = 0; e < 3; ++e) {
        const std::string before = Bytes(first);
        const std::string n = pick(names), k = pick(keys), v = piece();
        bool changed = false;
        const unsigned op = rng() % 4;
        edits +=
            " " + std::to_string(op) + ":" + Printable(n) + "/" + Printable(k) + "/" + Printable(v);
        switch (op) {
        case 0:
            changed = first.DeleteKey(n, k);
            break;
        case 1:
            changed = first.DeleteSection(n);
            sectionsChanged = sectionsChanged || changed;
            written.clear();
            break;
        default: {
            const bool fresh = !first.FindSection(n);
            changed = first.WriteValue(n, k, v);
            sectionsChanged = sectionsChanged || (changed && fresh);
            if (changed && !Trim(k).empty())
                written.emplace_back(n, k);
        }
        }
        if (!changed && Bytes(first) != before)
            return "an edit reported no change but changed the model (" + Printable(n) + " " +
                   Printable(k) + " " + Printable(v) + ")";
        // A section added or deleted counts as a change even when a later edit undoes it.
        if (first.Modified() != (Bytes(first) != original || sectionsChanged))
            return "the model does not know whether edits changed it (" + Printable(n) + " " +
                   Printable(k) + " " + Printable(v) + ")";
        const std::string shape = CheckShape(first);
        if (!shape.empty())
            return "after an edit: " + shape;
    }
    if (!first.KeepsEncoding() || !first.ReadsBackAsItself())
        return std::string();
    TExtIniFile edited;
    if (!Load(Bytes(first), "edited.ini", edited))
        return "the edited model's bytes do not load";
    if (Bytes(edited) != Bytes(first))
        return "a save of an edited model does not load and save to the same bytes";
    names.resize(std::min<size_t>(names.size(), 3));
    keys.resize(std::min<size_t>(keys.size(), 4));
    for (const auto& w : written)
        names.push_back(w.first), keys.push_back(w.second);
    std::vector<std::string> names2, keys2;
    RewordAll(names, first.Encoding(), edited.Encoding(), names2);
    RewordAll(keys, first.Encoding(), edited.Encoding(), keys2);
    if (Answers(edited, names2, keys2) != Answers(first, names, keys))
        return "an edit did not survive a save and a reload (" + edits + " )";
    return std::string();
}

// ---- Inputs ------------------------------------------------------------------------------

std::string Make(std::mt19937& rng, const std::vector<std::string>& seeds) {
    static const std::string tokens[] = {"[",
                                         "]",
                                         "[]",
                                         "[ ]",
                                         "[A]\n",
                                         "[a]\n",
                                         "[B]\n",
                                         "[ b ]\n",
                                         "\n",
                                         "\r\n",
                                         "\r",
                                         "=",
                                         "k=",
                                         "k=v\n",
                                         "K=w\n",
                                         "app=x\n",
                                         ";",
                                         "; c\n",
                                         "\x83\x5D",
                                         "\x83",
                                         "\x81",
                                         "\xFC",
                                         "\xEF\xBB\xBF",
                                         "env:",
                                         std::string(1, '\0'),
                                         "  ",
                                         "\t",
                                         "\x83\x5C",
                                         "[\x83\x5D]\n",
                                         "\x82\x60\x82\x61",
                                         "\x82\x81\x82\x82",
                                         "=\n",
                                         "[k=v]\n",
                                         "\x1A"};
    // UTF-8: characters of two, three and four bytes, some whose bytes read as code page 932
    // would swallow a "]" or "=", and forms that are no UTF-8.
    static const std::string utf8[] = {
        "\xE3\x83\x84", // ツ: E3 83 is a double-byte character
        "[\xE3\x83\x84]\n",
        "\xE3\x82\xBD=x\n", // ソ
        "\xED\x95\x9C",     // 한
        "\xC3\xA9",         // é
        "\xC3\x89",         // É
        "\xF0\x9F\x98\x80", // an emoji
        "[caf\xC3\xA9]\n",  "[CAF\xC3\x89]\n", "\xEF\xBB\xBF", "[", "]", "=", "\n", "k=", "env:"};
    static const std::string broken[] = {"\xE3\x83",         "\xC0\xAF", "\xED\xA0\x80",
                                         "\xF4\x90\x80\x80", "\x80",     "\xFF"};
    static const char bytes[] = "[]=;\r\n \t\x83\x5D\x81\xEF\xBB\xBF\xFC\x7F"
                                "Aa0";
    std::string s;
    // A third of the inputs keep to UTF-8 (now and then broken once), so that files read as
    // UTF-8 are as well tested as those read as code page 932.
    const bool utf8Only = rng() % 3 == 0;
    if (utf8Only) {
        for (size_t n = Below(rng, 32); n > 0; --n)
            s += utf8[Below(rng, sizeof utf8 / sizeof *utf8)];
        if (rng() % 4 == 0)
            fuzz::InsertAt(rng, s, broken[Below(rng, sizeof broken / sizeof *broken)]);
    } else if (rng() % 8 == 0) {
        // From scratch: lines drawn from the grammar.
        for (size_t n = Below(rng, 24); n > 0; --n)
            s += tokens[Below(rng, sizeof tokens / sizeof *tokens)];
    } else {
        s = seeds[Below(rng, seeds.size())];
    }
    for (size_t n = utf8Only ? Below(rng, 4) : 1 + Below(rng, 8); n > 0; --n) {
        switch (utf8Only ? 2 + rng() % 4 : rng() % 8) {
        case 0:
            if (!s.empty())
                s[Below(rng, s.size())] = char(rng());
            break;
        case 1:
            if (!s.empty())
                s[Below(rng, s.size())] = bytes[Below(rng, sizeof bytes - 1)];
            break;
        case 2:
        case 3:
            fuzz::InsertAt(rng, s,
                           utf8Only ? utf8[Below(rng, sizeof utf8 / sizeof *utf8)]
                                    : tokens[Below(rng, sizeof tokens / sizeof *tokens)]);
            break;
        case 4:
            fuzz::DeleteRange(rng, s);
            break;
        case 5:
            fuzz::CopyRange(rng, s);
            break;
        case 6:
            fuzz::SpliceWith(rng, s, seeds[Below(rng, seeds.size())]);
            break;
        default: {
            // Another case for one letter: repeats of headers and keys in other spellings.
            const size_t at = Below(rng, s.size());
            if (at < s.size() && isalpha((unsigned char)s[at]))
                s[at] ^= 0x20;
        }
        }
    }
    if (s.size() > 4096)
        s.resize(4096);
    return s;
}

std::vector<std::string> BuiltinSeeds() {
    return {
        "x=1\n[A]\nk = v\n\n;c\n",
        "[A]\napp=x\n[B]\napp=y\n[a]\nparam=-p\n",
        "[]\nk=1\n[  ]\n[A]\nk=2\n",
        "\xEF\xBB\xBF[ed]\napp=e\n",
        "[\x83\x5D\nk=1\n[\x83\x5D]\nk=2\n",
        "[alias]\neditor=notepad\n[ed]\ntype=gui\napp=C:\\ed.exe\nparam=-n\nenv:PATH=C:\\bin\n"};
}

} // namespace

int main(int argc, char** argv) {
    return fuzz::Main(argc, argv, {"store", Make, Check, BuiltinSeeds});
}

// The helper's one-pass reading of "alias.ini" against the full model, and the proof that its
// cheap comparison of printable-ASCII names and keys is the locale's own.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "AliasSection.h"
#include "Encoding.h"
#include "ExtIniFile.h"
#include "Handle.h"
#include "Schema.h"
#include "TestSupport.h"
#include "Text.h"

using namespace testing_support;

namespace {

std::string FoldAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

bool LocaleEqual(LCID locale, DWORD flags, const std::string& a, const std::string& b) {
    return CompareStringA(locale, flags, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

// Printable ASCII that is equal or nearly so under folding: case flips, punctuation put in or
// taken out, one character changed.
std::string RandomPlain(std::mt19937& rng) {
    std::string s;
    for (int i = int(rng() % 8); i > 0; --i)
        s += char(0x20 + rng() % 95);
    return s;
}
std::string NearlyTheSame(std::string s, std::mt19937& rng) {
    static const char punct[] = " -'_.,:;!\"#$%&()*+/<=>?@[\\]^`{|}~";
    for (int edits = int(rng() % 3); edits > 0; --edits) {
        const size_t at = s.empty() ? 0 : rng() % s.size();
        switch (rng() % 4) {
        case 0:
            if (!s.empty() && isalpha(static_cast<unsigned char>(s[at])))
                s[at] = char(s[at] ^ 0x20);
            break;
        case 1:
            s.insert(s.begin() + long(at), punct[rng() % (sizeof punct - 1)]);
            break;
        case 2:
            if (!s.empty())
                s.erase(at, 1);
            break;
        default:
            if (!s.empty())
                s[at] = char(0x20 + rng() % 95);
        }
    }
    return s;
}

TEST(PlainAsciiComparison, EqualsCompareStringWhereverItIsUsed) {
    // The helper's own locale must be one where the cheap test holds, or it is never used.
    ASSERT_TRUE(PlainAsciiComparesAsBytes(LOCALE_USER_DEFAULT));
    std::mt19937 rng(20);
    int locales = 0;
    for (LCID locale : {LCID(LOCALE_USER_DEFAULT), LCID(0x0411), LCID(0x0409), LCID(0x0809),
                        LCID(0x041F), LCID(0x0406), LCID(0x040E), LCID(0x0405)}) {
        if (!PlainAsciiComparesAsBytes(locale))
            continue;
        ++locales;
        auto check = [&](const std::string& a, const std::string& b) {
            ASSERT_EQ(LocaleEqual(locale, 0, a, b), a == b)
                << std::hex << locale << " [" << a << "] [" << b << "]";
            ASSERT_EQ(LocaleEqual(locale, NORM_IGNORECASE, a, b), FoldAscii(a) == FoldAscii(b))
                << std::hex << locale << " [" << a << "] [" << b << "] ignoring case";
        };
        // Every pair of characters, alone, between letters, and put into a text.
        for (int x = 0x20; x < 0x7F; ++x)
            for (int y = 0x20; y < 0x7F; ++y) {
                const std::string cx(1, char(x)), cy(1, char(y));
                check(cx, cy);
                check("q" + cx + "z", "q" + cy + "z");
                check("q" + cx + cy + "z", "qz");
            }
        for (int i = 0; i < 20000; ++i) {
            const std::string a = RandomPlain(rng);
            check(a, rng() % 4 ? NearlyTheSame(a, rng) : RandomPlain(rng));
        }
    }
    EXPECT_GE(locales, 2);
}

TEST(PlainAsciiComparison, KeysCompareAsTheLocaleDoes) {
    static const char* const pieces[] = {"a",    "A",    "ａ", "Ａ", "ｱ", "ア", "ソ", "表",
                                         "\x01", "\x7F", " ",  "-",  "'", "1",  "１", "\x83\x5D"};
    std::mt19937 rng(21);
    for (int i = 0; i < 20000; ++i) {
        std::string a, b;
        for (int n = int(rng() % 4); n > 0; --n)
            a += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        b = rng() % 2 ? NearlyTheSame(a, rng) : FoldAscii(a);
        ASSERT_EQ(SameKey(a, b), CompareLocale(a, b) == 0) << Printable(a) << " " << Printable(b);
    }
}

// Section names are alias names, and so names of helper files: two are one alias exactly when
// the file system takes "<a>" and "<b>" for one file, whatever the locale's sort rules say
// (they take a half-width and a full-width prolonged sound mark, or a repeat mark and the
// character before it, for equal).
TEST(NameComparison, SectionNamesAreOneExactlyWhenTheyAreOneFile) {
    ScratchDir dir(CurrentTestName());
    // Characters in groups of look-alikes, cases, widths and marks the locale confuses.
    static const std::vector<std::vector<std::string>> groups = {
        {"a", "A"},
        {"z"},
        {"ａ", "Ａ"},
        {"ｱ", "ア", "あ"},
        {"\xB0", "\x81\x5B", "\x81\x5C", "\x81\x58", "\x81\x54", "\x81\x52", "\x81\x55", "\x81\x53",
         "\x82\xA9", "\x82\xA0"},             // ｰ ー ― 々 ゝ ヽ ゞ ヾ か あ
        {"\x83\xBF", "\x83\x9F"},             // α Α
        {"\x84\x76", "\x84\x46"},             // ё Ё
        {"\xFA\x40", "\x87\x54", "\xEE\xEF"}, // ⅰ Ⅰ ⅰ (two codes of one character)
        {"\xED\x40", "\xFA\x5C"},             // one character, two codes
        {"1", "１"},
        {"-", "'", "_"},
        {"表", "ソ", "\x83\x5D"},
    };
    std::mt19937 rng(22);
    int same = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string a, b;
        for (int n = 1 + int(rng() % 3); n > 0; --n) {
            const auto& g = groups[rng() % groups.size()];
            a += g[rng() % g.size()];
            b += g[rng() % g.size()];
        }
        ASSERT_TRUE(WriteFileBytes(dir / a, "")) << Printable(a);
        const bool oneFile = PathExists(dir / b);
        ASSERT_TRUE(DeleteFileA((dir / a).c_str())) << Printable(a);
        ASSERT_EQ(SameSectionName(a, b), oneFile) << Printable(a) << " " << Printable(b);
        ASSERT_EQ(FileNameKey(a) == FileNameKey(b), oneFile) << Printable(a) << " " << Printable(b);
        same += oneFile;
    }
    EXPECT_GT(same, 300);  // the generator reaches names that are one file
    EXPECT_LT(same, 2700); // and names that are not
}

// ---- differential: the helper's reading equals the full model's --------------------------

const char* const kNames[] = {"ed", "ED", " Ed ", "alias", "ALIAS ", "a]b", "[x]", "x y", "x-y",
                              "ｴﾃﾞｨﾀ", "表", "ソ", "ａｂ", "ＡＢ", "\x83\x5D", "a\x01", "a\x7F",
                              "k1", "K1\t", "tool", "my.tool", "", "  ", "\x81",
                              // Half-width katakana that is well-formed UTF-8 too (θ), and θ
                              "ﾎｸ", "θ"};
const char* const kKeys[] = {"app",
                             "App",
                             "type",
                             "param",
                             "dir",
                             "env:A",
                             "ENV:A",
                             "env:a",
                             "Env:B",
                             "env: B ",
                             "env:",
                             "env:  ",
                             "stderr2stdout",
                             "killtarget",
                             "k",
                             "表",
                             "ソ",
                             "a\x01"
                             "b",
                             " app ",
                             "env:表",
                             "\x7F"
                             "app",
                             "ap p"};
const char* const kValues[] = {"",   "v",  " v ", "a=b",  "表ソ",        "x\t ",
                               "on", "ON", " on", "ソ\\", "\xE3\x83\x84"}; // ツ in UTF-8

template <size_t N> const char* Pick(const char* const (&pool)[N], std::mt19937& rng) {
    return pool[rng() % N];
}

// Blanks as the store counts them: tabs and NUL bytes too.
std::string Blanks(std::mt19937& rng) {
    static const char* const b[] = {"", "", "", " ", "\t", "  "};
    return rng() % 8 == 0 ? std::string(1, '\0') : std::string(b[rng() % 6]);
}

std::string RandomLine(std::mt19937& rng) {
    switch (rng() % 12) {
    case 0:
    case 1:
    case 2:
        return Blanks(rng) + "[" + Blanks(rng) + Pick(kNames, rng) + Blanks(rng) + "]" +
               Blanks(rng);
    case 3:
        switch (rng() % 5) {
        case 0:
            return std::string("[") + Pick(kNames, rng);
        case 1:
            return std::string("[") + Pick(kNames, rng) + "] ;c";
        case 2:
            return "[\x83\x5D";
        case 3:
            return "[" + Blanks(rng) + "]";
        default:
            return std::string(Pick(kNames, rng)) + "]";
        }
    case 4:
        switch (rng() % 6) {
        case 0:
            return ";app=x";
        case 1:
            return "=v";
        case 2:
            return "";
        case 3:
            return "   ";
        case 4:
            return "plain text";
        default:
            return "\x1A";
        }
    default:
        return Blanks(rng) + Pick(kKeys, rng) + Blanks(rng) + "=" + Pick(kValues, rng) +
               Blanks(rng);
    }
}

std::string LineEnd(std::mt19937& rng) {
    static const char* const ends[] = {"\r\n", "\r\n", "\n", "\r\r\n", "\n\r"};
    return ends[rng() % 5];
}

std::string RandomFile(std::mt19937& rng) {
    std::string text;
    if (rng() % 6 == 0)
        text += "\xEF\xBB\xBF";
    for (int n = int(rng() % 40); n > 0; --n) {
        std::string line = RandomLine(rng);
        if (rng() % 20 == 0 && !line.empty()) // a lone CR inside a line disappears
            line.insert(rng() % line.size(), "\r");
        if (rng() % 40 == 0)
            line.insert(0, "\xEF\xBB\xBF");
        text += line + LineEnd(rng);
    }
    if (rng() % 3 == 0)
        text += RandomLine(rng); // a last line without its line end
    return text;
}

struct TRead {
    bool found = false;
    std::vector<std::pair<std::string, std::string>> keys, env;
};

TRead FromModel(const TExtIniFile& ini, const std::string& name) {
    TRead r;
    const TExtIniSection* s = ini.FindSection(name);
    r.found = s != nullptr;
    std::string n, v;
    for (const TExtIniItem* item = s ? s->First() : nullptr; item; item = item->Next()) {
        if (!item->Key().empty())
            r.keys.push_back({item->Key(), item->Value()});
        if (ReadEnvEntry(*item, n, v))
            r.env.push_back({n, v});
    }
    return r;
}

// The helper's answers for the keys the model holds, in the model's order.
TRead FromHelper(const TAliasSection& s, const TRead& model) {
    TRead r;
    r.found = s.Found();
    for (const auto& key : model.keys)
        r.keys.push_back({key.first, s.ReadValue(key.first, "<none>")});
    for (const TKeyLine& entry : EnvEntries(s.KeyLines(), s.Encoding()))
        r.env.push_back({entry.Key, entry.Value});
    return r;
}

std::string Show(const TRead& r) {
    std::string s = r.found ? "found" : "missing";
    for (const auto& k : r.keys)
        s += " [" + Printable(k.first) + "=" + Printable(k.second) + "]";
    s += " env";
    for (const auto& e : r.env)
        s += " [" + Printable(e.first) + "=" + Printable(e.second) + "]";
    return s;
}

class HelperReading : public ::testing::Test {
  protected:
    ScratchDir dir{CurrentTestName()};
    int compared = 0;

    // Every name of the pool, and names the file holds, read both ways.
    void Compare(const std::string& text, std::mt19937& rng) {
        const std::string path = dir / "alias.ini";
        ASSERT_TRUE(WriteFileBytes(path, text));
        TExtIniFile ini;
        ASSERT_TRUE(ini.LoadFromFile(path));
        // The helper is given its file's name, in code page 932; the model is asked in the
        // file's encoding, as the manager asks it. A name that does not convert is not asked.
        const TTextEncoding encoding = ini.Encoding();
        const auto convert = [](const std::string& text, TTextEncoding from, TTextEncoding to,
                                std::string& out) {
            std::wstring wide;
            out = text;
            return from == to || (ToWide(text, from, wide) && FromWide(wide, to, out));
        };
        std::vector<std::pair<std::string, std::string>> names; // the helper's, the model's
        std::string converted;
        for (const char* name : kNames)
            if (convert(name, teCp932, encoding, converted))
                names.push_back({name, converted});
        std::vector<std::string> held;
        for (const TExtIniSection* s = ini.FirstSection(); s; s = s->Next())
            held.push_back(s->Name());
        for (int i = 0; i < 3 && !held.empty(); ++i) {
            const std::string& name = held[rng() % held.size()];
            if (convert(name, encoding, teCp932, converted))
                names.push_back({converted, name});
        }
        for (const auto& [name, modelName] : names) {
            TAliasSection own, defaults;
            ASSERT_TRUE(ReadAliasSections(path, name, own, defaults));
            const TRead model = FromModel(ini, modelName), modelDefaults = FromModel(ini, "alias");
            ASSERT_EQ(Show(FromHelper(own, model)), Show(model))
                << "name " << Printable(name) << " in " << Printable(text);
            ASSERT_EQ(Show(FromHelper(defaults, modelDefaults)), Show(modelDefaults))
                << "name " << Printable(name) << " in " << Printable(text);
            for (const char* key : kKeys)
                ASSERT_EQ(own.ReadValue(key, "<none>"), ini.ReadValue(modelName, key, "<none>"))
                    << "key " << Printable(key) << " of " << Printable(name) << " in "
                    << Printable(text);
            ++compared;
        }
    }
};

TEST_F(HelperReading, EqualsTheFullModelOnGeneratedFiles) {
    std::mt19937 rng(12);
    for (int i = 0; i < 800; ++i) {
        Compare(RandomFile(rng), rng);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(compared, 15000);
}

// Files of 10,000 sections: in code page 932 with generated lines now and then; in UTF-8 with
// Japanese in every section, its names too; and that again with a last byte that no UTF-8 text
// holds, which makes every byte before it code page 932.
TEST_F(HelperReading, EqualsTheFullModelOnHugeFiles) {
    std::mt19937 rng(13);
    for (int round = 0; round < 5; ++round) {
        const bool japanese = round >= 3;
        std::string text;
        for (int i = 0; i < 10000; ++i) {
            const std::string n = std::to_string(i), k = japanese ? "表" : "";
            text += "[" + k + "s" + n + "]\r\ntype=console\r\napp=C:\\" + k + "p" + n +
                    ".exe\r\nenv:X" + k + "=" + n + "\r\n";
            if (!japanese && rng() % 500 == 0)
                text += RandomFile(rng);
        }
        text +=
            "[ed]\r\napp=last\r\nenv:A=1\r\n[S17]\r\nlate=1\r\n[θ]\r\napp=t\r\n[ﾎｸ]\r\napp=h\r\n"
            "[alias]\r\nkilltarget=on\r\n";
        Compare(japanese ? Utf8(AnsiToWide(text)) + (round == 4 ? "\x83" : "") : text, rng);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(HelperReading, MissingFileFindsNothing) {
    TAliasSection own, defaults;
    EXPECT_FALSE(ReadAliasSections(dir / "none.ini", "ed", own, defaults));
    EXPECT_FALSE(own.Found());
    EXPECT_FALSE(defaults.Found());
}

// A replace by "alias" holds the file for a moment; the helper waits that out, but not for ever.
TEST_F(HelperReading, FileHeldByAnotherProgramIsWaitedForBriefly) {
    const std::string path = dir / "alias.ini";
    ASSERT_TRUE(WriteFileBytes(path, "[ed]\r\napp=x\r\n"));
    TAliasSection own, defaults;
    {
        TFileHandle held(
            CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.Valid());
        std::thread release([&] {
            Sleep(200);
            held.Reset();
        });
        const bool read = ReadAliasSections(path, "ed", own, defaults);
        release.join();
        ASSERT_TRUE(read);
        EXPECT_EQ(own.ReadValue("app", ""), "x");
    }
    TFileHandle held(
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    EXPECT_FALSE(ReadAliasSections(path, "ed", own, defaults));
    EXPECT_FALSE(own.Found());
}

} // namespace

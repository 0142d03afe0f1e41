// The definition-file model: what loading accepts, what saving writes, and the guarantees that
// keep "alias.ini" safe (atomic saves, linear loading, lookups equal to CompareStringA).
#include <gtest/gtest.h>

#include <random>

#include "Encoding.h"
#include "ExtIniFile.h"
#include "Handle.h"
#include "Schema.h"
#include "TestSupport.h"
#include "Text.h"

using namespace testing_support;

namespace {

std::vector<std::string> SectionNames(const TExtIniFile& ini) {
    std::vector<std::string> names;
    for (const TExtIniSection* s = ini.FirstSection(); s; s = s->Next())
        names.push_back(s->Name());
    return names;
}

class Model : public ::testing::Test {
  protected:
    ScratchDir dir{CurrentTestName()};
    // Loads bytes from a file and saves them again; the bytes written.
    std::string RoundTrip(const std::string& in) {
        EXPECT_TRUE(WriteFileBytes(dir / "in.ini", in));
        TExtIniFile ini;
        EXPECT_TRUE(ini.LoadFromFile(dir / "in.ini"));
        EXPECT_TRUE(ini.SaveToFile(dir / "out.ini"));
        return ReadFileBytes(dir / "out.ini");
    }
};

// Every write either is refused and changes nothing, or survives a save and a reload: the
// value reads back and the file saves to the same bytes again. A write that would make the file
// read back in another encoding is one that Save refuses.
TEST_F(Model, WritesAreStoredOrRefused) {
    const std::string pieces[] = {"a",
                                  "k",
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
                                  "ソ",
                                  "\xEF\xBB\xBF",
                                  std::string(1, '\0')};
    std::mt19937 rng(13);
    auto text = [&] {
        std::string s;
        for (int n = int(rng() % 5); n > 0; --n)
            s += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        return s;
    };
    const std::string base = "[S]\r\nk=1\r\n;c\r\n";
    ASSERT_TRUE(WriteFileBytes(dir / "w.ini", base));
    int stored = 0, refused = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string section = rng() % 3 ? "S" : text(), key = text(), value = text();
        TExtIniFile ini;
        ASSERT_TRUE(ini.LoadFromFile(dir / "w.ini"));
        std::string before, after;
        ini.WriteTo(before);
        const bool ok = ini.WriteValue(section, key, value);
        ini.WriteTo(after);
        const std::string what =
            Printable(section) + " / " + Printable(key) + " / " + Printable(value);
        if (!ok) {
            ++refused;
            EXPECT_EQ(before, after) << what;
            continue;
        }
        if (!ini.KeepsEncoding()) {
            EXPECT_FALSE(ini.Save()) << what;
            ++refused;
            continue;
        }
        ++stored;
        ASSERT_TRUE(ini.SaveToFile(dir / "o.ini"));
        TExtIniFile back;
        ASSERT_TRUE(back.LoadFromFile(dir / "o.ini"));
        std::string again;
        back.WriteTo(again);
        EXPECT_EQ(Printable(after), Printable(again)) << what;
        if (!TrimBlanks(key).empty()) {
            EXPECT_EQ(Printable(back.ReadValue(section, key, "<none>")),
                      Printable(ini.ReadValue(section, key, "<none>")))
                << what;
        }
    }
    EXPECT_GT(stored, 300);
    EXPECT_GT(refused, 300);

    // The cases that once came back different.
    TExtIniFile ini;
    ASSERT_TRUE(ini.LoadFromFile(dir / "w.ini"));
    EXPECT_FALSE(ini.WriteValue("S", "app", "a\nb"));
    EXPECT_FALSE(ini.WriteValue("S", "app", "a\rb"));
    EXPECT_FALSE(ini.WriteValue("S\nT", "app", "x"));
    EXPECT_FALSE(ini.WriteValue("S\rT", "app", "x"));
    EXPECT_FALSE(ini.WriteValue("S", "a=b", "x"));
    EXPECT_FALSE(ini.WriteValue("S", ";a", "x"));
    EXPECT_FALSE(ini.WriteValue("S", "[k", "v]"));
    EXPECT_FALSE(ini.WriteValue("S", "", ""));
    EXPECT_FALSE(ini.WriteValue("S", "", "a=b")); // a plain line that would read as a key line
    EXPECT_EQ(ini.AddSection("x\ny"), nullptr);
    EXPECT_TRUE(ini.WriteValue("S", "[k", "v"));
    EXPECT_TRUE(ini.WriteValue("S", "", ";note"));
    EXPECT_TRUE(ini.WriteValue("S", "k", " a=b; [c]"));
    EXPECT_EQ(SectionNames(ini), std::vector<std::string>{"S"});
    EXPECT_FALSE(ini.DeleteKey("S", "nosuch"));
    EXPECT_TRUE(ini.DeleteKey("S", "[k"));
    EXPECT_FALSE(ini.DeleteSection("T"));
    EXPECT_TRUE(ini.DeleteSection("s"));

    // A marked UTF-8 file whose header is no UTF-8 keeps that section; only a new one is refused.
    ASSERT_TRUE(WriteFileBytes(dir / "m.ini", "\xEF\xBB\xBF[\xFF]\r\nk=v\r\n"));
    TExtIniFile marked;
    ASSERT_TRUE(marked.LoadFromFile(dir / "m.ini"));
    EXPECT_EQ(marked.ReadValue("\xFF", "k", ""), "v");
    EXPECT_TRUE(marked.WriteValue("\xFF", "k", "w"));
    EXPECT_FALSE(marked.WriteValue("\xFE", "k", "v"));
    EXPECT_EQ(SectionNames(marked), std::vector<std::string>{"\xFF"});
}

// A save never writes what would load as another file: a UTF-16 mark (refused by every reader)
// or, in a file without one, a UTF-8 mark, which both appear once a lone CR between their
// bytes is dropped or a key line's leading blank is trimmed. Such a save is refused and the
// file is left as it was.
TEST_F(Model, ASaveNeverWritesWhatLoadsAsAnotherFile) {
    for (const std::string& bytes :
         {std::string("\xFF\r\xFE\n[ed]\r\napp=notepad\r\n"),
          std::string("\xFE\r\xFF\n[ed]\r\napp=notepad\r\n"),
          std::string(" \xEF\xBB\xBF=\r\n[ed]\r\napp=\xE3\x81\x82\r\n")}) {
        ASSERT_TRUE(WriteFileBytes(dir / "f.ini", bytes));
        TExtIniFile ini;
        ASSERT_TRUE(ini.LoadFromFile(dir / "f.ini")) << Printable(bytes);
        ASSERT_TRUE(ini.WriteValue("ed", "param", "-x"));
        EXPECT_FALSE(ini.ReadsBackAsItself()) << Printable(bytes);
        EXPECT_FALSE(ini.Save()) << Printable(bytes);
        EXPECT_EQ(ReadFileBytes(dir / "f.ini"), bytes);
    }
    // The same lines where nothing comes to the front save as ever.
    ASSERT_TRUE(WriteFileBytes(dir / "f.ini", "; x\r\n\xFF\r\xFE\n[ed]\r\napp=notepad\r\n"));
    TExtIniFile ini;
    ASSERT_TRUE(ini.LoadFromFile(dir / "f.ini"));
    ASSERT_TRUE(ini.WriteValue("ed", "param", "-x"));
    EXPECT_TRUE(ini.Save());
}

// An edit tells whether it changed what a save writes, and what a save wrote loads and saves
// to the same bytes again, whatever the edit left at a section's end.
TEST_F(Model, EditsKnowWhetherTheyChangedAndSavesAreStable) {
    enum TOp { opWrite, opDeleteKey, opDeleteSection };
    const struct {
        const char* Text;
        TOp Op;
        const char* Section;
        const char* Key;
        const char* Value;
        bool Modified;
    } cases[] = {
        {"[a]\n\nk=", opDeleteKey, "a", "k", "", true},
        {"[a]\n\nenv:K=1\n[b]\nx=1", opDeleteKey, "a", "env:K", "", true},
        {"[a]\nk=1\n\n\nj=2\n;c\n\n", opDeleteKey, "a", "j", "", true},
        {"[a]\n;c\n\nk=1\n[b]\n[a]\n\nj=2", opDeleteKey, "a", "j", "", true},
        {"[a]\n\n;c\n\n", opDeleteKey, "a", ";c", "", false},
        {"[a]\n k =1 \n", opWrite, "A", "k", "1  ", false},
        {"[a]\nk=1", opWrite, "a", "K", "1", true},
        {"[a]\nk=1", opWrite, "a", "k", " 1", true},
        {"[a]\nk=1", opWrite, "a", "", ";c", true},
        {"[a]\nk=1", opWrite, "b", "k", "1", true},
        {"[a]\nk=1", opDeleteKey, "a", "nosuch", "", false},
        {"[a]\nk=1", opDeleteKey, "b", "k", "", false},
        {"[a]\nk=1", opDeleteSection, "b", "", "", false},
        {"[a]\nk=1\n[b]", opDeleteSection, "A", "", "", true},
    };
    for (const auto& c : cases) {
        const std::string what = Printable(c.Text) + " " + c.Section + " " + c.Key;
        ASSERT_TRUE(WriteFileBytes(dir / "in.ini", c.Text));
        TExtIniFile ini;
        ASSERT_TRUE(ini.LoadFromFile(dir / "in.ini"));
        EXPECT_FALSE(ini.Modified()) << what;
        std::string before;
        ini.WriteTo(before);
        bool done = c.Op == opWrite       ? ini.WriteValue(c.Section, c.Key, c.Value)
                    : c.Op == opDeleteKey ? ini.DeleteKey(c.Section, c.Key)
                                          : ini.DeleteSection(c.Section);
        EXPECT_EQ(done, c.Op == opWrite || c.Modified) << what;
        EXPECT_EQ(ini.Modified(), c.Modified) << what;
        std::string after;
        ini.WriteTo(after);
        EXPECT_EQ(after != before, c.Modified) << what;
        EXPECT_EQ(Printable(RoundTrip(after)), Printable(after)) << what;
    }
    // A key set and set back is no change either.
    ASSERT_TRUE(WriteFileBytes(dir / "in.ini", "[a]\nk=1\nj=2"));
    TExtIniFile ini;
    ASSERT_TRUE(ini.LoadFromFile(dir / "in.ini"));
    ASSERT_TRUE(ini.WriteValue("a", "k", "2"));
    EXPECT_TRUE(ini.Modified());
    ASSERT_TRUE(ini.WriteValue("a", "k", "1"));
    EXPECT_FALSE(ini.Modified());
}

TEST_F(Model, LookupRules) {
    ASSERT_TRUE(WriteFileBytes(dir / "a.ini", "[A]\nk=1\n[ＡＢ]\nx=全角\n"));
    TExtIniFile ini;
    ASSERT_TRUE(ini.LoadFromFile(dir / "a.ini"));
    EXPECT_EQ(ini.ReadValue(" a ", " k ", "d"), "1");
    EXPECT_EQ(ini.ReadValue("A", "K", "d"), "d");
    EXPECT_EQ(ini.ReadValue("ａｂ", "x", "d"), "全角"); // full-width letters ignore case too
    EXPECT_EQ(SectionNames(ini), (std::vector<std::string>{"A", "ＡＢ"}));
    EXPECT_EQ(ini.FindSection(""), nullptr); // never the preamble
}

// The rules that read a hand-edited "type" find the same words in a value whatever the file's
// encoding: no byte of a longer character is taken for a letter, nor a letter for part of one.
TEST(TypeRules, AValueReadsTheSameInEitherEncoding) {
    const struct {
        const wchar_t* Type;
        bool Dos;
        const char* Marker;
    } cases[] = {
        {L"DOS", true, "[DOS] "},
        {L"msdos", true, "[DOS] "},
        {L"\u30b3\u30de\u30f3\u30c9dos", true, "[DOS] "}, // コマンドdos: 89 64 in UTF-8
        {L"\u30b3\u30de\u30f3\u30c9DOS", true, "[DOS] "},
        {L"\u8868dos", true, "[DOS] "},  // 表: 95 5C in code page 932
        {L"\u30c5os", false, "[???] "},  // ヅ: 83 64 in code page 932
        {L"\u30c9gui", false, "[GUI] "}, // ド
        {L"\u30c9console", false, "[CON] "},
        {L"Windows GUI dos", true, "[GUI] "},
        {L"win32", false, "[???] "},
    };
    for (const auto& c : cases)
        for (const TTextEncoding encoding : {teCp932, teUtf8}) {
            std::string type;
            ASSERT_TRUE(FromWide(c.Type, encoding, type));
            EXPECT_EQ(RunsThroughInterpreter(type, encoding), c.Dos)
                << WideToAnsi(c.Type) << " in " << encoding;
            EXPECT_STREQ(ListMarker(type, encoding), c.Marker)
                << WideToAnsi(c.Type) << " in " << encoding;
        }
}

TEST_F(Model, EditingKeepsPlacesAndOrder) {
    ASSERT_TRUE(WriteFileBytes(dir / "e.ini", "[Foo]\napp = 1\n;c\n[Bar]\nz=1\n"));
    TExtIniFile ini;
    ASSERT_TRUE(ini.LoadFromFile(dir / "e.ini"));
    ini.WriteValue("foo", "app", "2  ");
    ini.WriteValue("foo", "App", " 3");
    ini.WriteValue("  ", "k", "v"); // no section name: nothing
    ini.DeleteKey("bar", "nosuch");
    ini.DeleteSection(" foo"); // untrimmed: matches nothing
    ini.DeleteSection("bar");
    ini.WriteValue("New", "k", "v");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFileBytes(dir / "e.ini"),
              "\r\n[Foo]\r\napp=2\r\n;c\r\nApp= 3\r\n\r\n[New]\r\nk=v\r\n\r\n");
    ini.DeleteSection("FOO");
    ini.DeleteSection("new");
    ini.WriteValue("Last", "a", "b");
    EXPECT_EQ(SectionNames(ini), std::vector<std::string>{"Last"});
}

TEST_F(Model, SaveWithoutLoadWritesNothing) {
    TExtIniFile ini;
    EXPECT_FALSE(ini.LoadFromFile(dir / "missing.ini"));
    ini.WriteValue("A", "k", "v");
    EXPECT_FALSE(ini.Save());
    EXPECT_FALSE(PathExists(dir / "missing.ini"));
    EXPECT_EQ(ini.ReadValue("B", "k", "def"), "def");
}

TEST_F(Model, FailedSaveLeavesTheOldFileExactly) {
    const std::string old = "[A]\r\nk=old\r\n";
    ASSERT_TRUE(WriteFileBytes(dir / "t.ini", old));
    TExtIniFile ini;
    ASSERT_TRUE(ini.LoadFromFile(dir / "t.ini"));
    ini.WriteValue("A", "k", "new");
    {
        // Another process holds the file open without delete sharing: the replace cannot
        // happen, and after about a second the save gives up.
        TFileHandle holder(CreateFileA((dir / "t.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder.Valid());
        EXPECT_FALSE(ini.Save());
    }
    EXPECT_EQ(ReadFileBytes(dir / "t.ini"), old);
    WIN32_FIND_DATAA fd;
    TFindHandle left(FindFirstFileA((dir / "t.ini.~*").c_str(), &fd));
    EXPECT_FALSE(left.Valid()) << "temporary file left behind";

    SetFileAttributesA((dir / "t.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(ini.Save());
    SetFileAttributesA((dir / "t.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(dir / "t.ini"), old);
    EXPECT_FALSE(ini.SaveToFile(dir / "nosuchdir\\t.ini"));
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(ReadFileBytes(dir / "t.ini"), "\r\n[A]\r\nk=new\r\n\r\n");
}

TEST_F(Model, FileLockedForWritingDoesNotLoad) {
    ASSERT_TRUE(WriteFileBytes(dir / "l.ini", "[A]\r\n"));
    TFileHandle writer(CreateFileA((dir / "l.ini").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer.Valid());
    TExtIniFile ini;
    EXPECT_FALSE(ini.LoadFromFile(dir / "l.ini"));
    EXPECT_EQ(ini.FirstSection(), nullptr);
}

// Random code page 932 text built from the kinds of bytes that make comparisons interesting.
std::string RandomText(std::mt19937& rng) {
    static const char* const pieces[] = {"a",    "A",  "z", "Z",  "ａ", "Ａ", "ｚ",
                                         "Ｚ",   "ア", "ｱ", "あ", "表", "ソ", "\x01",
                                         "\x1F", " ",  "-", "'",  "1",  "１"};
    std::string s;
    const int n = int(rng() % 5);
    for (int i = 0; i < n; ++i)
        s += pieces[rng() % (sizeof pieces / sizeof *pieces)];
    return s;
}

TEST(SortKeyIndex, AgreesWithCompareStringOnEquality) {
    std::mt19937 rng(932);
    int checked = 0, equalPairs = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string a = RandomText(rng);
        std::string b = rng() % 2 ? RandomText(rng) : LowerAscii(a);
        if (rng() % 4 == 0)
            b.insert(b.begin() + (b.empty() ? 0 : long(rng() % b.size())), '\x01');
        for (DWORD flags : {DWORD(0), DWORD(NORM_IGNORECASE)}) {
            const bool cmpEqual = CompareStringA(LOCALE_USER_DEFAULT, flags, a.c_str(), -1,
                                                 b.c_str(), -1) == CSTR_EQUAL;
            const bool keyEqual = LocaleSortKey(a, flags != 0) == LocaleSortKey(b, flags != 0);
            ASSERT_EQ(cmpEqual, keyEqual)
                << "a=" << Printable(a) << " b=" << Printable(b) << " flags=" << flags;
            equalPairs += cmpEqual;
            ++checked;
        }
    }
    EXPECT_GT(equalPairs, 1000); // the generator does reach equal pairs
    EXPECT_EQ(checked, 40000);
}

TEST_F(Model, GeneratedFilesRoundTripExactly) {
    std::mt19937 rng(7);
    for (int f = 0; f < 30; ++f) {
        std::string text;
        for (int l = 0; l < 40; ++l) {
            switch (rng() % 5) {
            case 0:
                text += "[s" + std::to_string(rng() % 10) + RandomText(rng) + "]";
                break;
            case 1:
                text += ";" + RandomText(rng);
                break;
            case 2:
                break;
            default:
                text += "k" + std::to_string(rng() % 8) + "=" + RandomText(rng) + "v";
            }
            text += rng() % 2 ? "\n" : "\r\n";
        }
        const std::string once = RoundTrip(text);
        const std::string twice = RoundTrip(once);
        EXPECT_EQ(Printable(once), Printable(twice)) << "file " << f;
    }
}

TEST_F(Model, HostileInputLoadsWithoutHarm) {
    std::string junk;
    std::mt19937 rng(1);
    for (int i = 0; i < 1 << 20; ++i)
        junk.push_back(char(rng()));
    RoundTrip(junk);
    RoundTrip(std::string(20 << 20, 'x')); // one line of 20 MB
    RoundTrip("[A]\nk=\x81\n\x81");        // lead bytes at the ends of a line and the file
    // Blank lines by the million before a repeated header and at the end.
    RoundTrip("[A]\nk=1" + std::string(1 << 20, '\n') + "[B]\n[A]" + std::string(1 << 20, '\n'));

    std::string many = "[big]\n";
    for (int i = 0; i < 100000; ++i)
        many += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    ASSERT_TRUE(WriteFileBytes(dir / "many.ini", many));
    TExtIniFile ini; // how the load time grows is measured in bench/store
    ASSERT_TRUE(ini.LoadFromFile(dir / "many.ini"));
    EXPECT_EQ(ini.ReadValue("big", "key0", ""), "0");
    EXPECT_EQ(ini.ReadValue("big", "key99999", ""), "99999");
}

} // namespace

// The syntax rules of the definition file as golden files: each case in golden/ is a file
// <case>.ini as a user might write it, <case>.out with the exact bytes a load and a save give,
// and <case>.lookups with answers the loaded model must give, before and after that save.
// Adding a case means adding files.
//
// A .lookups file holds one lookup per line, fields separated by tabs; "#" starts a comment.
//   section <TAB> key <TAB> value    ReadValue gives value
//   section <TAB> key                the key is not found
//   *sections <TAB> name ...         the named sections, in order (none when no names follow)
//   *encoding <TAB> cp932 or utf8    the encoding the load decided
// Fields may use \xNN, \t, \r, \n and \\.
#include <gtest/gtest.h>

#include <vector>

#include "ExtIniFile.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char c = field[++i];
        if (c == 'x' && i + 2 < field.size()) {
            out += char(std::stoi(field.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
        }
    }
    return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line)
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    return fields;
}

std::vector<std::string> SectionNames(const TExtIniFile& ini) {
    std::vector<std::string> names;
    for (const TExtIniSection* s = ini.FirstSection(); s; s = s->Next())
        names.push_back(s->Name());
    return names;
}

// Checks every lookup of a .lookups text against ini; the number of lookups checked.
int CheckLookups(const TExtIniFile& ini, const std::string& lookups) {
    int checked = 0;
    size_t at = 0;
    while (at < lookups.size()) {
        size_t end = lookups.find('\n', at);
        if (end == std::string::npos)
            end = lookups.size();
        const std::string line = lookups.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> f = SplitTabs(line);
        for (std::string& s : f)
            s = Unescape(s);
        SCOPED_TRACE("lookup: " + Printable(line));
        ++checked;
        if (f[0] == "*encoding" && f.size() == 2) {
            EXPECT_EQ(ini.Encoding() == teUtf8 ? "utf8" : "cp932", f[1]);
        } else if (f[0] == "*sections") {
            EXPECT_EQ(SectionNames(ini), std::vector<std::string>(f.begin() + 1, f.end()));
        } else if (f.size() == 2) {
            // Two different defaults: a stored value could equal one of them, not both.
            EXPECT_EQ(ini.ReadValue(f[0], f[1], "<a>"), "<a>");
            EXPECT_EQ(ini.ReadValue(f[0], f[1], "<b>"), "<b>");
        } else if (f.size() == 3) {
            EXPECT_EQ(Printable(ini.ReadValue(f[0], f[1], "<missing>")), Printable(f[2]));
        } else {
            ADD_FAILURE() << "malformed lookup line";
        }
    }
    return checked;
}

TEST(GoldenFiles, LoadSaveAndLookupsGiveTheRecordedAnswers) {
    const std::string golden = TestBinDir() + "store-golden\\";
    ScratchDir dir{CurrentTestName()};
    std::vector<std::string> cases;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((golden + "*.ini").c_str(), &fd);
    ASSERT_NE(find, INVALID_HANDLE_VALUE) << "no golden files in " << golden;
    do {
        const std::string name = fd.cFileName;
        cases.push_back(name.substr(0, name.size() - 4));
    } while (FindNextFileA(find, &fd));
    FindClose(find);

    int lookups = 0;
    for (const std::string& c : cases) {
        SCOPED_TRACE("case " + c);
        std::string expected, questions;
        ASSERT_TRUE(ReadFileBytes(golden + c + ".out", expected)) << "missing " << c << ".out";
        ASSERT_TRUE(ReadFileBytes(golden + c + ".lookups", questions))
            << "missing " << c << ".lookups";

        TExtIniFile first;
        ASSERT_TRUE(first.LoadFromFile(golden + c + ".ini"));
        ASSERT_TRUE(first.SaveToFile(dir / (c + ".ini")));
        EXPECT_EQ(Printable(ReadFileBytes(dir / (c + ".ini"))), Printable(expected));
        lookups += CheckLookups(first, questions);

        // What a save wrote reads back to the same answers and saves to the same bytes.
        TExtIniFile second;
        ASSERT_TRUE(second.LoadFromFile(dir / (c + ".ini")));
        std::string again;
        second.WriteTo(again);
        EXPECT_EQ(Printable(again), Printable(expected)) << "not stable";
        CheckLookups(second, questions);
    }
    EXPECT_GE(cases.size(), 20u);
    EXPECT_GE(lookups, 60);
}

} // namespace

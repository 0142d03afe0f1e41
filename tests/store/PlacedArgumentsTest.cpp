// The template of an alias with "placeargs" on against the C runtime's splitting, as the system's
// CommandLineToArgvW does it (the same for every text here: none has two quotes in a stretch).
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include "Launching.h"
#include "ScriptKinds.h"
#include "TestSupport.h"

namespace {

using Args = std::vector<std::wstring>;

// Each argument's spelling, from the system's splitting alone: the shortest stretch from where it
// starts that splits into it, with the rest of the text splitting into the rest.
Args Spellings(const std::wstring& text) {
    auto split = [](const std::wstring& t) {
        int n = 0;
        wchar_t** argv = CommandLineToArgvW((L"p " + t).c_str(), &n);
        Args args(argv + 1, argv + n);
        LocalFree(argv);
        return args;
    };
    const Args args = split(text);
    Args spellings;
    for (size_t k = 0, at = 0, end; k < args.size(); ++k, at = end) {
        at = text.find_first_not_of(L" \t", at);
        for (end = at + 1; end < text.size(); ++end)
            if (split(text.substr(at, end - at)) == Args{args[k]} &&
                split(text.substr(end)) == Args(args.begin() + k + 1, args.end()))
                break;
        spellings.push_back(text.substr(at, end - at));
    }
    return spellings;
}

TEST(PlacedArguments, TakeTheArgumentsAsTheRuntimeSplitsThemInTheirSpelling) {
    const std::wstring texts[] = {
        L"", L"\"b c\" d\\\\\"e f\" g\\\"h i", L"x\\ y\\\\ \t\"t\tu\"\t\"\" \"\"  ",
        L"caf\u00e9 \u8868\\ \U0001F600 \"\u3000x y\" a&b", L"1 2 3 4 5 6 7 8 \"9 unbalanced"};
    const struct {
        const wchar_t *Pattern, *Filled; // {n}: the n-th spelling, {*}: the whole text
        bool Appends;                    // no placeholder: the text follows as without the switch
    } templates[] = {{L"log $1 --oneline", L"log {1} --oneline", false},
                     {L"-a $2 -b $1 [$9][$3]", L"-a {2} -b {1} [{9}][{3}]", false},
                     {L"$1$1 $$$2 $*", L"{1}{1} ${2} {*}", false},
                     {L"s/(a)/$$1/ $0 $10 $x $$ end$", L"s/(a)/$1/ $0 $10 $x $ end$", true},
                     {L"", L"", true}};
    std::wstring app(MAX_PATH, L'\0');
    app.resize(GetModuleFileNameW(nullptr, &app[0], MAX_PATH));
    for (const std::wstring& text : texts) {
        const Args spellings = Spellings(text);
        for (const auto& t : templates) {
            std::wstring expected = app + L" " + t.Filled;
            for (size_t at = 0; (at = expected.find(L'{', at)) != expected.npos;) {
                const size_t n = size_t(expected[at + 1] - L'0');
                const std::wstring piece = n > 9                   ? text
                                           : n <= spellings.size() ? spellings[n - 1]
                                                                   : L"";
                expected.replace(at, 3, piece);
                at += piece.size();
            }
            if (t.Appends)
                expected += text.empty() ? L" " : L"  " + text;
            const TLaunchValues v{t.Pattern, L"", false, true, false};
            TComposedLine launch{app, L""};
            EXPECT_EQ(ComposeLaunchLine(v, {L"", L"", text}, launch), llComposed);
            EXPECT_EQ(launch.CommandLine, expected)
                << testing_support::Utf8(text + L" / " + t.Pattern);
        }
    }
}

} // namespace

// A script's kind is told by its whole extension in any ASCII case, never by a part of it, a
// folder's dot, or a character beyond ASCII that folds onto a letter's low byte.
TEST(ScriptKinds, TheWholeExtensionInAnyAsciiCaseNamesTheKind) {
    const struct {
        const wchar_t* Program;
        const char* Kind; // its extensions, or null for a program
    } cases[] = {{L"a.PS1", "|ps1|"},
                 {L"C:\\x\\a.py", "|py|"},
                 {L"a.Pyw", "|pyw|"},
                 {L"a.js", "|vbs|vbe|js|jse|wsf|"},
                 {L"a.WSF", "|vbs|vbe|js|jse|wsf|"},
                 {L"a.b.cmd", "|bat|cmd|"},
                 {L"a.p", nullptr},
                 {L"a.pyww", nullptr},
                 {L"a.ps", nullptr},
                 {L"a", nullptr},
                 {L"a.", nullptr},
                 {L"d.py\\a", nullptr},
                 {L"a.py|pyw", nullptr},
                 {L"a.\x0170s1", nullptr},
                 {L"a.j\x0153", nullptr}};
    for (const auto& c : cases) {
        const TScriptKind* kind = ScriptKindOf(c.Program);
        EXPECT_STREQ(kind ? kind->Extensions : nullptr, c.Kind)
            << testing_support::WideToAnsi(c.Program);
    }
}

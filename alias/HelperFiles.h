// Tells what a helper-command file is from its own bytes (its version resource, which build it is,
// and whether every section is there), and holds the templates that helpers are copied from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ExtMem.h"
#include "Report.h"

class TExtIniSection;
class TProgramFolder;

// Whether the path ends in ".exe", in any case. The listing of "*.exe" also gives "x.exec",
// through its short name, so each listed name must be checked with this.
bool HasExeExtension(const std::string& path);
std::string AliasOfHelperFile(const std::string& fileName);
bool IsWindowed(const TExtIniSection& s);
// Whether the file is a whole helper: it has orvex's version resource, read from the file's own
// bytes, and the bytes of every section. The resource is not asked of the loader, because Wine's
// loader gives its built-in program's resource for a name it knows. *windowed gets whether it is
// the windowed build.
bool IsWholeHelper(const std::string& path, bool* windowed = nullptr);

class TTemplate {
  public:
    explicit TTemplate(const std::string& path);
    const std::string& Path() const { return FPath; }
    bool Whole() const { return FWhole; }
    // Why the template is not whole: the error of reading it, or ERROR_BAD_FORMAT when its bytes
    // are not a helper.
    DWORD Error() const { return FError; }
    bool IsCopy(const std::string& path) const;
    // Whether the bytes (as ReadWholeFile gives them) are a copy of this template cut short.
    bool IsCutCopy(const TExtMem& bytes) const;

  private:
    std::string FPath;
    TExtMem FBytes;
    DWORD FError = 0;
    bool FWhole = false;
};

// The two templates, each read once and kept for the whole command.
struct THelperTemplates {
    explicit THelperTemplates(const TProgramFolder& folder);
    // The template that the alias's helper is copied from, chosen by the alias's type.
    const TTemplate& Of(const TExtIniSection& alias) const {
        return IsWindowed(alias) ? Windowed : Console;
    }

    const TTemplate Console;  // the console build, "dovoz.ex_"
    const TTemplate Windowed; // the windowed build, "rudi.ex_"
};

// What a file in the helper's place is. A damaged helper (with sections missing, or a copy cut
// short) is renewed, but a file that is not a helper is never touched.
enum THelperState : int { hsNoHelper = 0, hsWhole = 1, hsDamaged = 2 };
THelperState ExamineHelper(const std::string& path, const THelperTemplates& templates,
                           bool* windowed = nullptr);

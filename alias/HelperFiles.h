// What a helper-command file is, told from its own bytes (the version resource, its build, every
// section there), and the templates helpers are copied from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ExtMem.h"
#include "Report.h"

class TExtIniSection;
class TProgramFolder;

// Any case ("*.exe" also lists "x.exec" by its short name).
bool HasExeExtension(const std::string& path);
std::string AliasOfHelperFile(const std::string& fileName);
bool IsWindowed(const TExtIniSection& s);
// orvex's version resource, read from the file itself (Wine's loader gives its built-in program's
// for a name it knows), and every section's bytes; *windowed tells the build.
bool IsWholeHelper(const std::string& path, bool* windowed = nullptr);

class TTemplate {
  public:
    explicit TTemplate(const std::string& path);
    const std::string& Path() const { return FPath; }
    bool Whole() const { return FWhole; }
    // Why it is not whole: the read's error, or ERROR_BAD_FORMAT for bytes that are no helper.
    DWORD Error() const { return FError; }
    bool IsCopy(const std::string& path) const;
    // The bytes (from ReadWholeFile) are a copy cut short.
    bool IsCutCopy(const TExtMem& bytes) const;

  private:
    std::string FPath;
    TExtMem FBytes;
    DWORD FError = 0;
    bool FWhole = false;
};

// The two templates, each read once.
struct THelperTemplates {
    explicit THelperTemplates(const TProgramFolder& folder);
    // The one the alias's helper is copied from, by its type.
    const TTemplate& Of(const TExtIniSection& alias) const {
        return IsWindowed(alias) ? Windowed : Console;
    }

    const TTemplate Console;  // the console build, "dovoz.ex_"
    const TTemplate Windowed; // the windowed build, "rudi.ex_"
};

// A damaged helper (sections missing, or a copy cut short) is renewed; a file that is no helper
// is never touched.
enum THelperState : int { hsNoHelper = 0, hsWhole = 1, hsDamaged = 2 };
THelperState ExamineHelper(const std::string& path, const THelperTemplates& templates,
                           bool* windowed = nullptr);

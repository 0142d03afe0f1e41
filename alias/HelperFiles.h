// Helper-command files in the program folder: told from their own bytes, and each made, changed
// or removed whole or not at all, the change undone until the definition file is saved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ExtMem.h"
#include "Report.h"

class TExtIniSection;
class TProgramFolder;

// A helper change's files while it is under way: "<name>.exe" and these endings, which nothing
// takes for helpers.
constexpr char kNewSuffix[] = ".~aliasnew";
constexpr char kOldSuffix[] = ".~aliasold";

// The file name ends in ".exe", any case ("*.exe" also lists "x.exec" by its short name).
bool HasExeExtension(const std::string& path);
// The alias a helper's file name stands for: the name without its extension.
std::string AliasOfHelperFile(const std::string& fileName);
// The definition's "type" asks for the windowed helper.
bool IsWindowed(const TExtIniSection& s);

// The file is a whole helper: orvex's version resource, read from the file itself (the system's
// loader under Wine gives its built-in program's for a name it knows), and every section's bytes;
// *windowed tells its build.
bool IsWholeHelper(const std::string& path, bool* windowed = nullptr);

// A template of the helper commands, read once.
class TTemplate {
  public:
    explicit TTemplate(const std::string& path);
    const std::string& Path() const { return FPath; }
    // A whole helper, which may be copied.
    bool Whole() const { return FWhole; }
    // The file holds the template's bytes, all of them.
    bool IsCopy(const std::string& path) const;
    // The bytes (from ReadWholeFile) are a shorter start of the template's: a copy cut short.
    bool IsCutCopy(const TExtMem& bytes) const;

  private:
    std::string FPath;
    TExtMem FBytes;
    bool FWhole;
};

// The console (false) and the windowed (true) template of the program folder.
class THelperTemplates {
  public:
    explicit THelperTemplates(const TProgramFolder& folder);
    const TTemplate& operator[](bool windowed) const { return windowed ? FWindowed : FConsole; }

  private:
    TTemplate FConsole, FWindowed;
};

// A whole helper; a damaged one (orvex's version resource with sections missing, or a template's
// copy cut short: the maintenance commands renew it); or no helper, which no command touches.
enum THelperState : int { hsNoHelper = 0, hsWhole = 1, hsDamaged = 2 };
THelperState ExamineHelper(const std::string& path, const THelperTemplates& templates,
                           bool* windowed = nullptr);

// One helper file created, replaced or removed: the new file prepared under another name, the old
// one moved aside, neither "<name>.exe".
class THelperChange {
  public:
    explicit THelperChange(const std::string& target);
    ~THelperChange(); // Undo
    THelperChange(const THelperChange&) = delete;
    THelperChange& operator=(const THelperChange&) = delete;

    // Copies a whole template to the new file and reads it back: true when it holds every byte.
    bool Prepare(const TTemplate& from);
    // Moves an existing target aside (true when there is none).
    bool MoveOldAside();
    // Gives the prepared file the target's name in one step; with replace over a file there.
    bool PutNewInPlace(bool replace = false);
    // Keeps the change: the old file goes.
    void Finish();
    // Undoes what Finish has not made final: why the change failed, or first the failure to put
    // the old helper back.
    TFailure Undo(TFailure why);

  private:
    std::string FTarget, FNew, FOld;
    bool FPrepared = false, FMovedAside = false, FInPlace = false, FFinished = false;
};

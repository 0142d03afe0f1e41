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

// A helper change's files under way: "<name>.exe" and these, which nothing takes for helpers.
constexpr char kNewSuffix[] = ".~aliasnew";
constexpr char kOldSuffix[] = ".~aliasold";

// The helper's path with its temporary names within the system's path limit: a change of a
// helper whose temporary name cannot fit could never be made.
bool FitsHelperChange(const std::string& target);
// Any case ("*.exe" also lists "x.exec" by its short name).
bool HasExeExtension(const std::string& path);
std::string AliasOfHelperFile(const std::string& fileName);
bool IsWindowed(const TExtIniSection& s);
// The helper path is the short name of another file (a section "VERY~XP4" beside
// "verylongaliasname.exe"): never that file's alias. other: the file's long path.
bool IsShortNameOfOther(const std::string& path, std::string& other);

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

class THelperTemplates {
  public:
    explicit THelperTemplates(const TProgramFolder& folder);
    const TTemplate& operator[](bool windowed) const { return windowed ? FWindowed : FConsole; }

  private:
    TTemplate FConsole, FWindowed;
};

// A damaged helper (sections missing, or a copy cut short) is renewed; a file that is no helper
// is never touched.
enum THelperState : int { hsNoHelper = 0, hsWhole = 1, hsDamaged = 2 };
THelperState ExamineHelper(const std::string& path, const THelperTemplates& templates,
                           bool* windowed = nullptr);

// One helper file created, replaced or removed: the new file prepared under another name, the old
// moved aside.
class THelperChange {
  public:
    explicit THelperChange(const std::string& target);
    ~THelperChange(); // Undo
    THelperChange(const THelperChange&) = delete;
    THelperChange& operator=(const THelperChange&) = delete;

    // Copies a whole template and reads the copy back: true when it holds every byte.
    bool Prepare(const TTemplate& from);
    bool MoveOldAside();
    bool PutNewInPlace(bool replace = false);
    void Finish();
    // Undoes what Finish did not keep: why, or first the failure to put the old helper back.
    TFailure Undo(TFailure why);

  private:
    std::string FTarget, FNew, FOld;
    bool FPrepared = false, FMovedAside = false, FInPlace = false, FFinished = false;
};

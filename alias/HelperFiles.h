// Helper-command files in the program folder: recognising them from their own bytes, and making
// or changing one so that it is whole or absent and the change can be undone until the
// definition file has been saved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ExtMem.h"
#include "Report.h"

class TExtIniSection;
class TProgramFolder;

// The names a helper change gives its files while it is under way: "<name>.exe" and these
// endings, so nothing takes them for helpers.
constexpr char kNewSuffix[] = ".~aliasnew";
constexpr char kOldSuffix[] = ".~aliasold";

// The file name ends in ".exe", in any case ("*.exe" also lists "x.exec" by its short name).
bool HasExeExtension(const std::string& path);
// The alias a helper command's file name stands for: the name without its extension.
std::string AliasOfHelperFile(const std::string& fileName);
// Whether an alias's helper is the windowed build or the console one, by its "type".
bool IsWindowed(const TExtIniSection& s);
// The file is a program of the kind, windowed or console, that a helper of an alias whose
// definition asks for that kind must be.
bool HasKind(const std::string& path, bool windowed);

// A file's bytes (up to a size far above any template's) make a whole helper: the version
// resource of orvex, read from the file itself (never through the system's loader, which under
// Wine hands back its built-in program's for a name it knows), and every section's bytes there.
bool IsWholeHelper(const std::string& path);

// A template of the helper commands, read once.
class TTemplate {
  public:
    explicit TTemplate(const std::string& path);
    const std::string& Path() const { return FPath; }
    // A whole helper, which may be copied.
    bool Whole() const { return FWhole; }
    // The file holds the template's bytes, all of them.
    bool IsCopy(const std::string& path) const;
    // The bytes (as ReadWholeFile gives them) are a shorter beginning of the template's, none at
    // all included: a copy that did not finish.
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

// What a file of the program folder is: a whole helper command, a damaged one (a whole helper's
// version resource with sections missing, or a cut copy of a template: the maintenance
// commands renew it), or no helper, which no command touches.
enum THelperState : int { hsNoHelper = 0, hsWhole = 1, hsDamaged = 2 };
THelperState ExamineHelper(const std::string& path, const THelperTemplates& templates);

// One helper file being created, replaced or removed. The new file is prepared under another
// name and the old one moved aside; neither is "<name>.exe", so nothing takes them for helpers.
class THelperChange {
  public:
    explicit THelperChange(const std::string& target);
    // Undoes what Finish has not made final (Undo).
    ~THelperChange();
    THelperChange(const THelperChange&) = delete;
    THelperChange& operator=(const THelperChange&) = delete;

    // Copies a whole template to the new file's temporary name and reads the copy back: true
    // only when it holds every byte of the template.
    bool Prepare(const TTemplate& from);
    // Moves an existing target aside (true when there is none).
    bool MoveOldAside();
    // Gives the prepared file the target's name in one step; with replace over a file there.
    bool PutNewInPlace(bool replace = false);
    // Keeps the change: the old file goes.
    void Finish();
    // Undoes what Finish has not made final; why the change failed, or the failure to put the
    // old helper back, which the user must hear of first.
    TFailure Undo(TFailure why);

  private:
    std::string FTarget, FNew, FOld;
    bool FPrepared = false, FMovedAside = false, FInPlace = false, FFinished = false;
};

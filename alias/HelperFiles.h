// Helper-command files in the program folder: recognising them, and changing one so that the
// change can be undone until the definition file has been saved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Report.h"

class TExtIniSection;

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
// The file carries the version resource of orvex: a helper command or a template that is whole.
bool HasHelperVersion(const std::string& path);
// The file is one of this system's helper commands (".exe", and the version resource of orvex).
bool IsHelperCommand(const std::string& path);
// The file is a program of the kind, windowed or console, that a helper of an alias whose
// definition asks for that kind must be.
bool HasKind(const std::string& path, bool windowed);

// One helper file being created, replaced or removed. The new file is prepared under another
// name and the old one moved aside; neither is "<name>.exe", so nothing takes them for helpers.
class THelperChange {
  public:
    explicit THelperChange(const std::string& target);
    // Undoes what Finish has not made final (Undo).
    ~THelperChange();
    THelperChange(const THelperChange&) = delete;
    THelperChange& operator=(const THelperChange&) = delete;

    // Copies the template to the new file's temporary name.
    bool Prepare(const std::string& templatePath);
    // Moves an existing target aside (true when there is none).
    bool MoveOldAside();
    // Gives the prepared file the target's name.
    bool PutNewInPlace();
    // Keeps the change: the old file goes.
    void Finish();
    // Undoes what Finish has not made final; why the change failed, or the failure to put the
    // old helper back, which the user must hear of first.
    TFailure Undo(TFailure why);

  private:
    std::string FTarget, FNew, FOld;
    bool FPrepared = false, FMovedAside = false, FInPlace = false, FFinished = false;
};

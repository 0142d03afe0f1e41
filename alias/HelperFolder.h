// The helper folder. The maintenance commands get one listing of it. Each helper is made, changed
// or removed whole or not at all, and the change can be undone until the definition file is
// saved. When a killed run interrupts a change, the next command that changes anything finishes
// or undoes it.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "HelperFiles.h"
#include "Report.h"

class TExtIniSection;
class TProgramFolder;

// The temporary names of a helper change under way are "<name>.exe" followed by one of these
// suffixes. Since such a name no longer ends in ".exe", nothing takes the file for a helper.
constexpr char kNewSuffix[] = ".~aliasnew";
constexpr char kOldSuffix[] = ".~aliasold";

// Whether the helper's path still fits the system's path limit with a temporary suffix added. If it
// did not, no change to that helper could ever be made.
bool FitsHelperChange(const std::string& target);
// Whether the helper path is the short (8.3) name of another file, as a section "VERY~XP4" would
// be beside "verylongaliasname.exe". Such a path is never that file's alias. other gets the
// file's long path.
bool IsShortNameOfOther(const std::string& path, std::string& other);

// One helper file created, replaced or removed. The new file is prepared under a temporary name
// and the old one is moved aside under another, so that every step can be undone.
class THelperChange {
  public:
    explicit THelperChange(const std::string& target);
    ~THelperChange(); // undoes whatever Finish did not keep
    THelperChange(const THelperChange&) = delete;
    THelperChange& operator=(const THelperChange&) = delete;

    // Copies a whole template and reads the copy back: true when it holds every byte.
    bool Prepare(const TTemplate& from);
    bool MoveOldAside();
    bool PutNewInPlace(bool replace = false);
    void Finish();
    // Undoes whatever Finish did not keep, and returns why. When the old helper cannot be put
    // back, that failure is returned instead, because it is what the user must hear of first.
    TFailure Undo(TFailure why);

  private:
    std::string FTarget, FNew, FOld;
    bool FPrepared = false, FMovedAside = false, FInPlace = false, FFinished = false;
};

// Returns the section of the alias named aliasName (such as "ed" for "ed.exe") in the loaded
// definition file, or null when there is none.
using TAliasOfFile = std::function<const TExtIniSection*(const std::string& aliasName)>;

// The ".exe" files of the program folder, from one listing of it, sorted by what the maintenance
// commands do with them. One listing is used because looking up each name on its own can cost a
// read of the whole folder every time.
struct TFolderScan {
    std::vector<std::string> orphans; // helpers, whole or damaged, of no alias that is defined
    // The "<name>.exe" of each defined alias that has one. Its state stays hsNoHelper unless the
    // scan was asked to examine these files.
    struct TAliasFile {
        std::string path;
        THelperState state;
    };
    std::unordered_map<const TExtIniSection*, TAliasFile> aliasFiles;
};
TFolderScan ScanFolder(const TProgramFolder& folder, const TAliasOfFile& aliasOf,
                       const THelperTemplates& templates, bool examineAliasFiles);

// Deals with the files that a killed THelperChange left behind. While the alias is still defined
// and its helper's name is free, the change is finished: a prepared copy that is a whole helper
// takes the name, unless only the helper moved aside is of the kind (console or windowed) that the
// definition asks for, in which case that helper takes it. Without such a copy, the helper moved
// aside goes back. Everything else that a change left behind is removed, but files with those
// names that no change made are kept. A move that fails is reported, and its files are kept.
TFailure RecoverInterruptedChanges(const TProgramFolder& folder, const TAliasOfFile& aliasOf);

// The names of the helpers that a change moved aside and has not removed yet, usually because the
// helper was still running.
std::vector<std::string> HelpersLeftAside(const TProgramFolder& folder);

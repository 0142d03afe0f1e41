// The helper folder: its one listing for the maintenance commands, and each helper made, changed
// or removed whole or not at all, the change undone until the definition file is saved; a change
// a kill interrupted is finished or undone by the next changing command.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "HelperFiles.h"
#include "Report.h"

class TExtIniSection;
class TProgramFolder;

// A helper change's files under way: "<name>.exe" and these, which nothing takes for helpers.
constexpr char kNewSuffix[] = ".~aliasnew";
constexpr char kOldSuffix[] = ".~aliasold";

// The helper's path with its temporary names within the system's path limit: a change of a
// helper whose temporary name cannot fit could never be made.
bool FitsHelperChange(const std::string& target);
// The helper path is the short name of another file (a section "VERY~XP4" beside
// "verylongaliasname.exe"): never that file's alias. other: the file's long path.
bool IsShortNameOfOther(const std::string& path, std::string& other);

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

// The alias of a helper's name ("ed" of "ed.exe"), as the loaded definition file has it; none.
using TAliasOfFile = std::function<const TExtIniSection*(const std::string& aliasName)>;

// The ".exe" files of the program folder from one listing (a look-up per name can cost a read of
// the whole folder), sorted by what the maintenance commands do with them.
struct TFolderScan {
    std::vector<std::string> orphans; // helpers, whole or damaged, of no defined alias
    // "<name>.exe" of each defined alias that has one (hsNoHelper unless examined).
    struct TAliasFile {
        std::string path;
        THelperState state;
    };
    std::unordered_map<const TExtIniSection*, TAliasFile> aliasFiles;
};
// A folder that cannot be listed is a failure, never one without helpers.
TFailure ScanFolder(const TProgramFolder& folder, const TAliasOfFile& aliasOf,
                    const THelperTemplates& templates, bool examineAliasFiles, TFolderScan& scan);

// Files a killed THelperChange left. While the alias is defined and its name is free, the step is
// finished: a prepared copy that is a whole helper takes the name, or the helper moved aside when
// only that one is of the kind the definition asks for; without such a copy the helper moved aside
// goes back. The rest of what a change left goes; files of those names that no change made stay.
// A move that fails is reported, its files kept; a folder that cannot be listed is left as it is.
TFailure RecoverInterruptedChanges(const TProgramFolder& folder, const TAliasOfFile& aliasOf);

// The names of the helpers a change moved aside and has not yet removed (one still running).
TFailure HelpersLeftAside(const TProgramFolder& folder, std::vector<std::string>& left);

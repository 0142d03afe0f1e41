// Helper-command files in the program folder: recognising them, and changing one so that the
// change can be undone until the definition file has been saved.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class TDefinitionTransaction;
class TExtIniSection;
class TProgramFolder;

// The file name ends in ".exe", in any case ("*.exe" also lists "x.exec" by its short name).
bool HasExeExtension(const std::string& path);
// The alias a helper command's file name stands for: the name without its extension.
std::string AliasOfHelperFile(const std::string& fileName);
// Whether an alias's helper is the windowed build or the console one, by its "type".
bool IsWindowed(const TExtIniSection& s);
// The names of the files in the program folder that match the pattern ("*.exe"), without
// folders and files of the skipped attributes. Only names that code page 932 holds exactly
// are given: the ANSI file calls name every file a command works on.
std::vector<std::string> FilesMatching(const TProgramFolder& folder, const std::string& pattern,
                                       uint32_t skipAttributes = 0);
// The file carries the version resource of orvex: a helper command or a template that is whole.
bool HasHelperVersion(const std::string& path);
// The file is one of this system's helper commands (".exe", and the version resource of orvex).
bool IsHelperCommand(const std::string& path);
// The file is a program of the kind, windowed or console, that a helper of an alias whose
// definition asks for that kind must be.
bool HasKind(const std::string& path, bool windowed);

// The ".exe" files of the program folder, from one listing, sorted by what the maintenance
// commands do with them. Looking each alias's file up on its own would cost, on some file
// systems, a read of the whole folder per missing name.
struct TFolderScan {
    std::vector<std::string> orphans; // helper commands of no defined alias
    // The file "<name>.exe" of each defined alias that has one, and whether it is a helper
    // command (only examined when asked).
    struct TAliasFile {
        std::string path;
        bool helper;
    };
    std::unordered_map<const TExtIniSection*, TAliasFile> aliasFiles;
};

// Lists the folder once; with examineAliasFiles, tells for each alias's file whether it is a
// helper command.
TFolderScan ScanFolder(const TDefinitionTransaction& t, bool examineAliasFiles);

// One helper file being created, replaced or removed. The new file is prepared under another
// name and the old one moved aside; neither is "<name>.exe", so nothing takes them for helpers.
class THelperChange {
  public:
    explicit THelperChange(const std::string& target);
    // Undoes what Finish has not made final; a helper that cannot be put back is reported.
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

  private:
    std::string FTarget, FNew, FOld;
    bool FPrepared = false, FMovedAside = false, FInPlace = false, FFinished = false;
};

// Files that a killed run left by a THelperChange. While an alias is defined and its helper's
// name is free, the step is finished: of the prepared copy and the helper moved aside, the one
// whose kind (windowed or console) the definition asks for takes the name, the prepared copy
// when both or neither do; a file that is no whole helper never does. Every other such file
// goes.
void RecoverInterruptedChanges(const TDefinitionTransaction& t);

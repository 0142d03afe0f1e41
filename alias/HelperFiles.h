// Helper-command files in the program folder: recognising them, and changing one so that the
// change can be undone until the definition file has been saved.
#pragma once

#include <string>

class TDefinitionTransaction;

// The file name ends in ".exe", in any case ("*.exe" also lists "x.exec" by its short name).
bool HasExeExtension(const std::string& path);
// The file is one of this system's helper commands (".exe", and the version resource of orvex).
bool IsHelperCommand(const std::string& path);

// One helper file being created, replaced or removed. The new file is prepared under another
// name and the old one moved aside; neither is "<name>.exe", so nothing takes them for helpers.
class THelperChange {
  public:
    explicit THelperChange(const std::string& target);
    ~THelperChange(); // undoes what Finish has not made final
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

// Files that a killed run left by a THelperChange: a prepared file goes; a file moved aside
// comes back when its alias is still defined and its name is free, and goes otherwise.
void RecoverInterruptedChanges(const TDefinitionTransaction& t);

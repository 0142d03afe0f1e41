// The program folder of alias.exe, which holds its definition file, its templates and the helper
// commands it makes. It is one value, made at start-up and handed to every command.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Report.h"
#include "Schema.h"

class TProgramFolder {
  public:
    // dir ends in its separator. winDir, which ends in "\", is where a definition file is looked
    // for when dir has none.
    TProgramFolder(const std::string& dir, const std::string& winDir)
        : FDir(dir), FWinDir(winDir) {}
    // Gets the running program's folder. Returns false, with the report in error, when code page
    // 932 cannot hold the folder's name.
    static bool OfThisProgram(TProgramFolder& folder, std::string& error);

    const std::string& Dir() const { return FDir; }
    // The definition file is looked for anew at every call, so a file created or removed in the
    // meantime is seen.
    std::string DefinitionFile() const { return FindDefinitionFileIn(FDir, FWinDir); }
    // The path of the helper of an alias whose name has passed IsRefusedName.
    std::string HelperPath(const std::string& name) const { return FDir + name + ".exe"; }
    // The templates helpers are copied from: the console build's and the windowed build's.
    std::string ConsoleTemplatePath() const { return FDir + "dovoz.ex_"; }
    std::string WindowedTemplatePath() const { return FDir + "rudi.ex_"; }
    // Lists the folder's files that match the pattern (such as "*.exe"), as ListFolder lists them.
    // A folder that cannot be listed is a failure with its cause, never taken for an empty one.
    TFailure List(const std::string& pattern, std::vector<std::string>& names,
                  uint32_t skipAttributes = 0) const;

  private:
    std::string FDir, FWinDir;
};

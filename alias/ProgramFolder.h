// The program folder of alias.exe, which holds its definition file, its templates and the helper
// commands it makes: one value, made at start-up and handed to every command.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Report.h"
#include "Schema.h"

class TProgramFolder {
  public:
    // dir ends in its separator; winDir (ending in "\") is where a definition file is looked for
    // when dir has none.
    TProgramFolder(const std::string& dir, const std::string& winDir)
        : FDir(dir), FWinDir(winDir) {}
    // The running program's; false, with the report in error, when code page 932 cannot name it.
    static bool OfThisProgram(TProgramFolder& folder, std::string& error);

    const std::string& Dir() const { return FDir; }
    // Looked for anew at every call.
    std::string DefinitionFile() const { return FindDefinitionFileIn(FDir, FWinDir); }
    // The helper of an alias whose name passed IsRefusedName.
    std::string HelperPath(const std::string& name) const { return FDir + name + ".exe"; }
    // The templates helpers are copied from: the console build's and the windowed build's.
    std::string ConsoleTemplatePath() const { return FDir + "dovoz.ex_"; }
    std::string WindowedTemplatePath() const { return FDir + "rudi.ex_"; }
    // The folder's files that match the pattern ("*.exe"), as ListFolder gives them; a folder that
    // cannot be listed is a failure with its cause, never one without files.
    TFailure List(const std::string& pattern, std::vector<std::string>& names,
                  uint32_t skipAttributes = 0) const;

  private:
    std::string FDir, FWinDir;
};

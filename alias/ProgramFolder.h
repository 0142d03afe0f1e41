// The program folder of alias.exe: where its definition file, its templates and the helper
// commands it makes are. One value, made at start-up and handed to every command.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TProgramFolder {
  public:
    // dir ends in its separator; winDir, the Windows directory ending in "\", is where a
    // definition file is looked for when the folder has none.
    TProgramFolder(const std::string& dir, const std::string& winDir)
        : FDir(dir), FWinDir(winDir) {}
    // The folder of the running program; false, with the report in error, when code page 932
    // cannot name it (every ANSI file call would work on another path).
    static bool OfThisProgram(TProgramFolder& folder, std::string& error);

    const std::string& Dir() const { return FDir; }
    // Where "alias.ini" is: beside the program, else in the Windows directory, else beside the
    // program again (where /edit creates it). Looked for anew at every call.
    std::string DefinitionFile() const;
    // The helper command of an alias; the name must have passed IsRefusedName.
    std::string HelperPath(const std::string& name) const;
    // The windowed ("rudi.ex_") or the console ("dovoz.ex_") template.
    std::string TemplatePath(bool windowed) const;
    // The names of the folder's files that match the pattern ("*.exe"), as ListFolder gives
    // them: no folders, none of skipAttributes, only names that code page 932 holds exactly.
    std::vector<std::string> List(const std::string& pattern, uint32_t skipAttributes = 0) const;

  private:
    std::string FDir, FWinDir;
};

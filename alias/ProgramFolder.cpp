#include "ProgramFolder.h"

#include "ProgramPaths.h"

std::string ExePath;
std::string ExeDir;
std::string WinDir;

bool InitPaths(std::string& error) {
    if (!ProgramFilePath(ExePath, error))
        return false;
    ExeDir = DirectoryPart(ExePath);
    WinDir = WindowsDirectory();
    return true;
}

std::string FindDefinitionFile() {
    return FindDefinitionFileIn(ExeDir, WinDir);
}

std::string HelperPath(const std::string& name) {
    return ExeDir + name + ".exe";
}

std::string TemplatePath(bool windowed) {
    return ExeDir + (windowed ? "rudi.ex_" : "dovoz.ex_");
}

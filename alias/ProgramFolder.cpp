#include "ProgramFolder.h"

#include "ProgramPaths.h"

std::string ExePath;
std::string ExeDir;
std::string WinDir;

void InitPaths() {
    ExePath = ModuleFilePath();
    ExeDir = DirectoryPart(ExePath);
    WinDir = WindowsDirectory();
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

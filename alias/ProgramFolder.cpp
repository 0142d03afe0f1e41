#include "ProgramFolder.h"

#include "Encoding.h"
#include "Files.h"

bool TProgramFolder::OfThisProgram(TProgramFolder& folder, std::string& error) {
    std::string exe;
    if (!ProgramFilePath(LongPath(ModuleFilePath()), exe, error))
        return false;
    folder = TProgramFolder(DirectoryPart(exe), WindowsDirectory());
    return true;
}

std::vector<std::string> TProgramFolder::List(const std::string& pattern,
                                              uint32_t skipAttributes) const {
    std::wstring search;
    return ToWide(FDir + pattern, teCp932, search) ? ListFolder(search, skipAttributes)
                                                   : std::vector<std::string>();
}

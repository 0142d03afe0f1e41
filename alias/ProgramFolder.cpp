#include "ProgramFolder.h"

#include "Encoding.h"
#include "Files.h"
#include "Reports.h"

bool TProgramFolder::OfThisProgram(TProgramFolder& folder, std::string& error) {
    std::string exe;
    const std::wstring wide = LongPath(ModuleFilePath());
    if (!ProgramFilePath(wide, exe)) {
        error = FolderNotCp932Report(wide);
        return false;
    }
    folder = TProgramFolder(DirectoryPart(exe), WindowsDirectory());
    return true;
}

std::vector<std::string> TProgramFolder::List(const std::string& pattern,
                                              uint32_t skipAttributes) const {
    std::wstring search;
    return ToWide(FDir + pattern, teCp932, search) ? ListFolder(search, skipAttributes)
                                                   : std::vector<std::string>();
}

#include "ProgramFolder.h"

#include "Encoding.h"
#include "Files.h"
#include "Messages.h"
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

TFailure TProgramFolder::List(const std::string& pattern, std::vector<std::string>& names,
                              uint32_t skipAttributes) const {
    std::wstring search;
    // The folder's path was converted from code page 932, and the patterns are code page 932 too,
    // so converting them back is expected to succeed. Should it fail, the listing fails with
    // ERROR_NO_UNICODE_TRANSLATION instead of listing nothing.
    const DWORD error = ToWide(FDir + pattern, teCp932, search)
                            ? ListFolder(search, names, skipAttributes)
                            : DWORD(ERROR_NO_UNICODE_TRANSLATION);
    return error ? Failure(FolderUnlisted(FDir), error) : TFailure();
}

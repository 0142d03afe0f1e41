#include "HelperFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "Alias.h"
#include "ExeType.h"
#include "ExtIniFile.h"
#include "Files.h"
#include "Messages.h"
#include "ProgramFolder.h"
#include "Schema.h"
#include "Text.h"
#include "Encoding.h"

namespace {

// Far more than any template holds. A larger file cannot be a helper, so it is never read whole.
constexpr uint64_t kHelperSizeLimit = 1 << 20;

// Tells from a file's bytes what kind of file it is, and which build it is.
THelperState StateOf(const TExtMem& bytes, bool* windowed) {
    bool whole = false, gui = false;
    const TImageBytes f{static_cast<const unsigned char*>(bytes.Data()),
                        bytes.Size() ? bytes.Size() - 1u : 0u}; // without the zero byte after them
    if (!HasOrvexVersion(f, whole, gui))
        return hsNoHelper;
    if (windowed)
        *windowed = gui;
    return whole ? hsWhole : hsDamaged;
}

} // namespace

bool HasExeExtension(const std::string& path) {
    return CompareLocaleNoCase(path.substr(SplitPath(path).Extension), ".exe") == 0;
}

std::string AliasOfHelperFile(const std::string& fileName) {
    return fileName.substr(0, SplitPath(fileName).Extension);
}

bool IsWindowed(const TExtIniSection& s) {
    return TakesWindowedHelper(s.ReadValue(kKeyType, ""));
}

bool IsWholeHelper(const std::string& path, bool* windowed) {
    TExtMem bytes;
    return ReadWholeFile(path, bytes, kHelperSizeLimit) == lrLoaded &&
           StateOf(bytes, windowed) == hsWhole;
}

TTemplate::TTemplate(const std::string& path) : FPath(path) {
    // A read refused because of the file's size sets no error of its own, and a file too large to
    // be a template counts as a bad format.
    SetLastError(ERROR_SUCCESS);
    if (ReadWholeFile(path, FBytes, kHelperSizeLimit) != lrLoaded)
        FError = GetLastError();
    else if (StateOf(FBytes, nullptr) == hsWhole)
        FWhole = true;
    if (!FWhole && !FError)
        FError = ERROR_BAD_FORMAT;
}

bool TTemplate::IsCopy(const std::string& path) const {
    TExtMem bytes;
    return FWhole && ReadWholeFile(path, bytes, FBytes.Size() - 1) == lrLoaded &&
           bytes.Size() == FBytes.Size() && !memcmp(bytes.Data(), FBytes.Data(), bytes.Size());
}

bool TTemplate::IsCutCopy(const TExtMem& bytes) const {
    return FWhole && bytes.Size() < FBytes.Size() &&
           !memcmp(bytes.Data(), FBytes.Data(), bytes.Size() - 1);
}

THelperTemplates::THelperTemplates(const TProgramFolder& folder)
    : Console(folder.ConsoleTemplatePath()), Windowed(folder.WindowedTemplatePath()) {
}

THelperState ExamineHelper(const std::string& path, const THelperTemplates& templates,
                           bool* windowed) {
    TExtMem bytes;
    if (ReadWholeFile(path, bytes, kHelperSizeLimit) != lrLoaded)
        return hsNoHelper;
    const THelperState state = StateOf(bytes, windowed);
    return state == hsNoHelper &&
                   (templates.Console.IsCutCopy(bytes) || templates.Windowed.IsCutCopy(bytes))
               ? hsDamaged
               : state;
}

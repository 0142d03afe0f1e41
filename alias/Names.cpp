#include "Names.h"

#include <windows.h>

#include "CommandLine.h"
#include "Encoding.h"
#include "Files.h"
#include "Messages.h"
#include "Schema.h"
#include "Text.h"

namespace {

// Whether Windows takes the name for a device, which it does in every folder and also with an
// extension ("con.txt").
bool IsDeviceName(const std::string& name) {
    const std::string base = UpperLocale(TrimRightBlanks(name.substr(0, name.find('.'))));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* d : kDevices)
        if (base == d)
            return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '0' && base[3] <= '9';
}

// Whether the name holds a byte that cannot stand in a file name. Second bytes of double-byte
// characters are skipped: they may have the value of "\" or "|" and still be part of a valid
// character.
bool HasForbiddenByte(const std::string& name) {
    for (size_t i = 0; i < name.size(); i += CharLength(name, i)) {
        const unsigned char c = name[i];
        if (CharLength(name, i) == 1 &&
            (c < 0x20 || std::string("\\/:<>\"|?*").find(char(c)) != std::string::npos))
            return true;
    }
    return false;
}

} // namespace

bool IsRefusedName(const std::string& name) {
    if (name.empty() || IsReservedName(TrimBlanks(name)))
        return true;
    // The file calls turn the name into UTF-16. Bytes that are not code page 932 text (a lone lead
    // byte, a pair that is no character) would come out as some other character, and the helper
    // file would get another name than the section's.
    std::wstring wide;
    std::string back;
    if (!ToWide(name, teCp932, wide) || !FromWide(wide, teCp932, back) || back != name)
        return true;
    // Windows drops trailing blanks and dots from file names. A leading blank is refused as well:
    // section names are stored trimmed, so no section could have one.
    if (IsBlank(name.front()) || IsBlank(name.back()) || name.back() == '.')
        return true;
    return HasForbiddenByte(name) || IsDeviceName(name);
}

bool PromptTakesAsTyped(const std::string& name) {
    std::wstring wide;
    return ToWide(name, teCp932, wide) && !wide.empty() && wide[0] != '@' &&
           wide.find_first_of(kInterpreterBreaks) == std::wstring::npos &&
           wide.find('\t') == std::wstring::npos;
}

bool HasLineBreak(const std::wstring& text) {
    return text.find_first_of(L"\r\n") != std::wstring::npos;
}

TFailure HelperFileName(const std::wstring& name, std::string& fileName) {
    return FromWide(name, teCp932, fileName) ? TFailure()
                                             : Failure(NotCodePage932(ShownCp932(name)));
}

bool ProgramFitsStart(const std::wstring& program) {
    std::wstring app = program;
    ResolveProgram(app, std::wstring()); // no helper to pass over
    return FitsStartLimit(app, false);
}

std::string UpperLocale(const std::string& text) {
    std::string out = text;
    if (!out.empty())
        CharUpperBuffA(&out[0], DWORD(out.size()));
    return out;
}

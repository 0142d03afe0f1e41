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

// Far more than any template holds: a larger file is no helper, and is never read whole.
constexpr uint64_t kHelperSizeLimit = 1 << 20;

// The section table of a program image: where an address of the image lies in the file.
struct TSections {
    uint64_t Table = 0;
    uint32_t Count = 0;
    uint64_t FileOffset(const TBytes& f, uint32_t rva) const {
        for (uint32_t i = 0; i < Count; ++i) {
            const uint64_t s = Table + 40 * i;
            const uint32_t va = f.U32(s + 12), size = std::max(f.U32(s + 8), f.U32(s + 16));
            if (rva >= va && rva - va < size)
                return f.U32(s + 20) + uint64_t(rva - va);
        }
        return 0;
    }
};

// A version resource's block: length, value length, type, key, at 4-byte boundaries its value and
// its children.
struct TBlock {
    uint64_t End = 0, Value = 0, Children = 0;
    std::wstring Key;
};

uint64_t Align4(uint64_t at) {
    return (at + 3) & ~uint64_t(3);
}

// The UTF-16 text at at, up to its zero or end.
std::wstring TextAt(const TBytes& v, uint64_t at, uint64_t end) {
    std::wstring text;
    for (; at < end && v.U16(at); at += 2)
        text += wchar_t(v.U16(at));
    return text;
}

bool ReadBlock(const TBytes& v, uint64_t at, uint64_t end, TBlock& b) {
    const uint32_t length = v.U16(at);
    if (length < 6 || at + length > end)
        return false;
    b.End = at + length;
    b.Key = TextAt(v, at + 6, b.End);
    b.Value = Align4(at + 6 + 2 * b.Key.size() + 2);
    // A text value counts its characters, a binary one its bytes.
    b.Children = Align4(b.Value + v.U16(at + 2) * (v.U16(at + 4) == 1 ? 2 : 1));
    return true;
}

// Equal but for the case of ASCII letters, as the version calls compare keys.
bool SameKey(const std::wstring& a, const wchar_t* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (LowerAsciiChar(a[i]) != LowerAsciiChar(b[i]))
            return false;
    return i == a.size() && !b[i];
}

bool FindChild(const TBytes& v, const TBlock& parent, const wchar_t* key, TBlock& child) {
    for (uint64_t at = parent.Children; ReadBlock(v, at, parent.End, child); at = Align4(child.End))
        if (SameKey(child.Key, key))
            return true;
    return false;
}

// orvex's version resource: "Tovimar" in LegalCopyright and "orvex" as InternalName in the
// "041104b0" table; whole: every section's bytes are there (a cut copy lacks some).
bool HasOrvexVersion(const TBytes& f, bool& whole, bool& windowed) {
    const uint64_t pe = f.U32(0x3C), optional = pe + 24;
    if (f.U16(0) != 0x5A4D || f.U32(pe) != 0x4550) // "MZ", "PE\0\0"
        return false;
    const uint32_t magic = f.U16(optional);
    const uint64_t directories = optional + (magic == 0x20B ? 112 : 96);
    if ((magic != 0x10B && magic != 0x20B) || f.U32(directories - 4) <= 2)
        return false;
    windowed = f.U16(optional + kSubsystemField) == IMAGE_SUBSYSTEM_WINDOWS_GUI;
    TSections sections;
    sections.Count = f.U16(pe + 6);
    sections.Table = optional + f.U16(pe + 20);
    whole = sections.Table + 40 * uint64_t(sections.Count) <= f.Size;
    for (uint32_t i = 0; i < sections.Count; ++i) {
        const uint64_t s = sections.Table + 40 * i;
        whole = whole && f.U32(s + 20) + uint64_t(f.U32(s + 16)) <= f.Size;
    }
    // The resource tree: type RT_VERSION, name VS_VERSION_INFO, the first language, its data.
    const uint64_t root = sections.FileOffset(f, f.U32(directories + 16));
    uint64_t node = root;
    for (const uint32_t id : {16u, 1u, 0u}) {
        const uint32_t named = f.U16(node + 12), entries = named + f.U16(node + 14);
        uint32_t next = 0;
        for (uint32_t e = 0; e < entries && !next; ++e)
            if (!id || (e >= named && f.U32(node + 16 + 8 * e) == id))
                next = f.U32(node + 20 + 8 * e);
        // A subdirectory at each level but the last, which leads to the data.
        if (!root || !next || (next >> 31) != (id != 0))
            return false;
        node = root + (next & 0x7FFFFFFF);
    }
    const uint64_t at = sections.FileOffset(f, f.U32(node)), size = f.U32(node + 4);
    if (!at || at + size > f.Size)
        return false;
    const TBytes v{f.Data + at, size};
    TBlock info, files, table, copyright, name;
    return ReadBlock(v, 0, size, info) && SameKey(info.Key, L"VS_VERSION_INFO") &&
           FindChild(v, info, L"StringFileInfo", files) &&
           FindChild(v, files, L"041104b0", table) &&
           FindChild(v, table, L"LegalCopyright", copyright) &&
           FindChild(v, table, L"InternalName", name) &&
           TextAt(v, copyright.Value, copyright.End).find(L"Tovimar") != std::wstring::npos &&
           SameKey(TextAt(v, name.Value, name.End), L"orvex");
}

// What the bytes make of a file, and its build.
THelperState StateOf(const TExtMem& bytes, bool* windowed) {
    bool whole = false, gui = false;
    const TBytes f{static_cast<const unsigned char*>(bytes.Data()),
                   bytes.Size() ? bytes.Size() - 1u : 0u}; // without the zero after them
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

bool FitsHelperChange(const std::string& target) {
    static_assert(sizeof kNewSuffix == sizeof kOldSuffix, "one suffix length");
    std::wstring wide;
    return ToWide(target + kNewSuffix, teCp932, wide) && FitsStartLimit(wide, false);
}

std::string AliasOfHelperFile(const std::string& fileName) {
    return fileName.substr(0, SplitPath(fileName).Extension);
}

bool IsWindowed(const TExtIniSection& s) {
    return TakesWindowedHelper(s.ReadValue(kKeyType, ""));
}

bool IsShortNameOfOther(const std::string& path, std::string& other) {
    std::wstring wide;
    if (path.find('~') == std::string::npos || !ToWide(path, teCp932, wide))
        return false;
    const std::wstring full = LongPath(wide);
    const size_t a = SplitPath(wide).FileName, b = SplitPath(full).FileName;
    return FoldFileName(wide.substr(a)) != FoldFileName(full.substr(b)) &&
           FromWide(full, teCp932, other);
}

bool IsWholeHelper(const std::string& path, bool* windowed) {
    TExtMem bytes;
    return ReadWholeFile(path, bytes, kHelperSizeLimit) == lrLoaded &&
           StateOf(bytes, windowed) == hsWhole;
}

TTemplate::TTemplate(const std::string& path) : FPath(path) {
    // A read refused for the file's size sets no error of its own: too large is a bad format.
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
    : FConsole(folder.TemplatePath(false)), FWindowed(folder.TemplatePath(true)) {
}

THelperState ExamineHelper(const std::string& path, const THelperTemplates& templates,
                           bool* windowed) {
    TExtMem bytes;
    if (ReadWholeFile(path, bytes, kHelperSizeLimit) != lrLoaded)
        return hsNoHelper;
    const THelperState state = StateOf(bytes, windowed);
    return state == hsNoHelper &&
                   (templates[false].IsCutCopy(bytes) || templates[true].IsCutCopy(bytes))
               ? hsDamaged
               : state;
}

THelperChange::THelperChange(const std::string& target)
    : FTarget(target), FNew(target + kNewSuffix), FOld(target + kOldSuffix) {
}

THelperChange::~THelperChange() {
    Undo(TFailure());
}

TFailure THelperChange::Undo(TFailure why) {
    if (FFinished)
        return why;
    FFinished = true;
    DWORD notRestored = 0; // the error of the move that failed to put the old helper back
    if (FInPlace && !MoveFileTo(FTarget, FNew, true))
        notRestored = GetLastError();
    if (FPrepared)
        RemoveFile(FNew); // a copy left behind goes with the next changing command
    if (FMovedAside && !MoveFileTo(FOld, FTarget, false))
        notRestored = GetLastError();
    // A helper that cannot be put back is what the user must hear of.
    return notRestored ? Failure(HelperFailed(FTarget, hfRestore), notRestored) : why;
}

bool THelperChange::Prepare(const TTemplate& from) {
    // Marked first: a copy that fails part-way (a full disk) may leave a file, which Undo removes.
    FPrepared = true;
    if (!from.Whole()) {
        SetLastError(from.Error());
        return false;
    }
    if (!CopyFileTo(from.Path(), FNew))
        return false;
    if (from.IsCopy(FNew))
        return true;
    // Written short without a word from the system: no error of its own to report.
    SetLastError(ERROR_WRITE_FAULT);
    return false;
}

bool THelperChange::MoveOldAside() {
    if (!FileFound(FTarget))
        return true;
    // Renaming works for a running helper too, where deleting it would not.
    FMovedAside = MoveFileTo(FTarget, FOld, true);
    return FMovedAside;
}

bool THelperChange::PutNewInPlace(bool replace) {
    FInPlace = MoveFileTo(FNew, FTarget, replace);
    return FInPlace;
}

void THelperChange::Finish() {
    FFinished = true;
    // A running helper cannot be deleted; the next changing command tries again.
    if (FMovedAside)
        RemoveFile(FOld);
}

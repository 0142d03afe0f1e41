#include "ExeType.h"

#include <algorithm>
#include <cstring>

#include "Files.h"
#include "Text.h"

namespace {

// The headers' layout, as winnt.h gives it. The new header (NE or PE) starts where the DOS
// header's e_lfanew field says. A PE header is its signature, then the file header, then the
// optional header. PE32+ lays out its optional header as PE32 does up to the subsystem field (its
// wider image base takes the room of PE32's BaseOfData), so PE32's offsets serve both for the
// fields read here.
const uint32_t kDosHeaderSize = sizeof(IMAGE_DOS_HEADER);
const uint32_t kNewHeaderOffset = offsetof(IMAGE_DOS_HEADER, e_lfanew);
const uint32_t kSignatureSize = sizeof(DWORD); // "PE\0\0", or "NE" and two more bytes
const uint32_t kFileHeaderAt = offsetof(IMAGE_NT_HEADERS32, FileHeader);
const uint32_t kFileHeaderSize = sizeof(IMAGE_FILE_HEADER);
const uint32_t kSectionCountField = offsetof(IMAGE_FILE_HEADER, NumberOfSections);
const uint32_t kOptionalHeaderSizeField = offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader);
const uint32_t kOptionalHeaderAt = offsetof(IMAGE_NT_HEADERS32, OptionalHeader);
const uint32_t kOptionalHeaderSize = sizeof(IMAGE_OPTIONAL_HEADER32);
const uint32_t kOptionalHeaderMinimum = offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
const uint32_t kSubsystemField = offsetof(IMAGE_OPTIONAL_HEADER32, Subsystem);

// The kind the subsystem field gives.
TExeType KindOfSubsystem(uint32_t subsystem) {
    return subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI ? etWinGui
           : subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI || subsystem == IMAGE_SUBSYSTEM_POSIX_CUI
               ? etWinConsole
               : etUnknown;
}

TExeResult ReadExeType(const TPieceReader& file, TExeType& kind) {
    kind = etUnknown;
    uint64_t size = 0;
    if (!file.Size(size))
        return erReadError;
    unsigned char dos[kDosHeaderSize], coff[kFileHeaderSize], opt[kOptionalHeaderSize];
    bool failed = false;
    // A header is read only when the file holds all of it; a shorter file is simply not such a
    // program, which is no read error. Offsets are added in 64 bits because e_lfanew may be near
    // 0xFFFFFFFF, where a 32-bit sum would wrap around.
    auto read = [&](uint64_t offset, unsigned char* buffer, uint32_t count) {
        if (size < offset + count)
            return false;
        failed = !file.ReadAt(offset, buffer, count);
        return !failed;
    };
    const auto result = [&] { return failed ? erReadError : erOk; };
    if (!read(0, dos, 2) || dos[0] != 'M' || dos[1] != 'Z' || !read(2, dos + 2, kDosHeaderSize - 2))
        return result();
    const uint64_t lfanew = TImageBytes{dos, sizeof dos}.U32(kNewHeaderOffset);
    if (lfanew == 0) {
        kind = etDos;
        return erOk;
    }
    // The signature is read into the DOS header's buffer, which is no longer needed.
    if (!read(lfanew, dos, kSignatureSize))
        return result();
    if (dos[0] == 'N' && dos[1] == 'E') {
        kind = etWin16;
        return erOk;
    }
    if (memcmp(dos, "PE\0\0", kSignatureSize) != 0 ||
        !read(lfanew + kFileHeaderAt, coff, kFileHeaderSize) ||
        TImageBytes{coff, sizeof coff}.U16(kOptionalHeaderSizeField) < kOptionalHeaderMinimum ||
        !read(lfanew + kOptionalHeaderAt, opt, kOptionalHeaderSize))
        return result();
    kind = KindOfSubsystem(TImageBytes{opt, sizeof opt}.U16(kSubsystemField));
    return erOk;
}

// The section table of a program image: where an address of the image lies in the file.
struct TSections {
    uint64_t Table = 0;
    uint32_t Count = 0;
    static const uint32_t kEntry = sizeof(IMAGE_SECTION_HEADER);
    uint64_t At(uint32_t i, uint32_t field) const { return Table + uint64_t(kEntry) * i + field; }
    // Whether every section's bytes lie within the file.
    bool AllIn(const TImageBytes& f) const {
        if (At(Count, 0) > f.Size)
            return false;
        for (uint32_t i = 0; i < Count; ++i)
            if (f.U32(At(i, offsetof(IMAGE_SECTION_HEADER, PointerToRawData))) +
                    uint64_t(f.U32(At(i, offsetof(IMAGE_SECTION_HEADER, SizeOfRawData)))) >
                f.Size)
                return false;
        return true;
    }
    // Returns the file offset of an address in the image, or 0 when no section holds it.
    uint64_t FileOffset(const TImageBytes& f, uint32_t rva) const {
        for (uint32_t i = 0; i < Count; ++i) {
            const uint32_t va = f.U32(At(i, offsetof(IMAGE_SECTION_HEADER, VirtualAddress)));
            const uint32_t size =
                std::max(f.U32(At(i, offsetof(IMAGE_SECTION_HEADER, Misc.VirtualSize))),
                         f.U32(At(i, offsetof(IMAGE_SECTION_HEADER, SizeOfRawData))));
            if (rva >= va && rva - va < size)
                return f.U32(At(i, offsetof(IMAGE_SECTION_HEADER, PointerToRawData))) +
                       uint64_t(rva - va);
        }
        return 0;
    }
};

// Reads a PE image's section table and where its resource tree starts in the file. Returns false
// when the bytes are not a PE image with a data directory for resources.
bool ReadPeHeaders(const TImageBytes& f, TSections& sections, uint64_t& resources, bool& windowed) {
    const uint64_t pe = f.U32(kNewHeaderOffset), optional = pe + kOptionalHeaderAt;
    if (f.U16(0) != IMAGE_DOS_SIGNATURE || f.U32(pe) != IMAGE_NT_SIGNATURE)
        return false;
    const uint32_t magic = f.U16(optional + offsetof(IMAGE_OPTIONAL_HEADER32, Magic));
    const bool pe32 = magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC;
    if (!pe32 && magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return false;
    const uint64_t directoryCount =
        optional + (pe32 ? offsetof(IMAGE_OPTIONAL_HEADER32, NumberOfRvaAndSizes)
                         : offsetof(IMAGE_OPTIONAL_HEADER64, NumberOfRvaAndSizes));
    const uint64_t directories =
        optional + (pe32 ? offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory)
                         : offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory));
    if (f.U32(directoryCount) <= IMAGE_DIRECTORY_ENTRY_RESOURCE)
        return false;
    windowed = f.U16(optional + kSubsystemField) == IMAGE_SUBSYSTEM_WINDOWS_GUI;
    sections.Count = f.U16(pe + kFileHeaderAt + kSectionCountField);
    sections.Table = optional + f.U16(pe + kFileHeaderAt + kOptionalHeaderSizeField);
    resources = sections.FileOffset(
        f, f.U32(directories + IMAGE_DIRECTORY_ENTRY_RESOURCE * sizeof(IMAGE_DATA_DIRECTORY)));
    return true;
}

// Finds the bytes of the version resource. The resource tree has three levels: the type
// (RT_VERSION), the name (VS_VERSION_INFO, which is 1), and the language, of which the first is
// taken; its entry leads to the data. Returns an empty image when there is no such resource.
TImageBytes VersionResource(const TImageBytes& f, const TSections& sections, uint64_t root) {
    const TImageBytes none{nullptr, 0};
    const uint32_t kNamedCount = offsetof(IMAGE_RESOURCE_DIRECTORY, NumberOfNamedEntries);
    const uint32_t kIdCount = offsetof(IMAGE_RESOURCE_DIRECTORY, NumberOfIdEntries);
    const uint32_t kEntries = sizeof(IMAGE_RESOURCE_DIRECTORY);
    const uint32_t kEntry = sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY);
    const uint32_t kIsDirectory = IMAGE_RESOURCE_DATA_IS_DIRECTORY;
    uint64_t node = root;
    // An id of 0 takes the first entry, whatever its id. Named entries come before the entries
    // with ids, so any other id is looked for only among the latter.
    for (const uint32_t id : {uint32_t(16) /* RT_VERSION */, 1u, 0u}) {
        const uint32_t named = f.U16(node + kNamedCount), entries = named + f.U16(node + kIdCount);
        uint32_t next = 0;
        for (uint32_t e = 0; e < entries && !next; ++e)
            if (!id || (e >= named && f.U32(node + kEntries + kEntry * e) == id))
                next = f.U32(node + kEntries + kEntry * e + 4);
        // Each level but the last must lead to a subdirectory; the last must lead to the data.
        if (!root || !next || ((next & kIsDirectory) != 0) != (id != 0))
            return none;
        node = root + (next & ~kIsDirectory);
    }
    const uint64_t at =
        sections.FileOffset(f, f.U32(node + offsetof(IMAGE_RESOURCE_DATA_ENTRY, OffsetToData)));
    const uint64_t size = f.U32(node + offsetof(IMAGE_RESOURCE_DATA_ENTRY, Size));
    return at && at + size <= f.Size ? TImageBytes{f.Data + at, size} : none;
}

// A block of a version resource is laid out as: its length, its value's length, its type (1 for
// text), its key, and then, each at a 4-byte boundary, its value and its children. TBlock holds
// where the block ends, where its value and its children start, and its key.
struct TBlock {
    uint64_t End = 0, Value = 0, Children = 0;
    std::wstring Key;
};

uint64_t Align4(uint64_t at) {
    return (at + 3) & ~uint64_t(3);
}

// Returns the UTF-16 text that starts at the offset, up to its terminating zero or up to end.
std::wstring TextAt(const TImageBytes& v, uint64_t at, uint64_t end) {
    std::wstring text;
    for (; at < end && v.U16(at); at += 2)
        text += wchar_t(v.U16(at));
    return text;
}

bool ReadBlock(const TImageBytes& v, uint64_t at, uint64_t end, TBlock& b) {
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

bool FindChild(const TImageBytes& v, const TBlock& parent, const wchar_t* key, TBlock& child) {
    for (uint64_t at = parent.Children; ReadBlock(v, at, parent.End, child); at = Align4(child.End))
        if (EqualAsciiNoCase(child.Key, key)) // ignoring ASCII case, as the version calls do
            return true;
    return false;
}

} // namespace

TExeResult GetExeType(const std::wstring& path, TExeType& kind, DWORD* error) {
    kind = etUnknown;
    TPieceReader file;
    DWORD e = file.Open(path);
    const TExeResult result =
        e ? (e == ERROR_FILE_NOT_FOUND || e == ERROR_DIRECTORY ? erNotFound : erReadError)
          : ReadExeType(file, kind);
    if (result == erReadError && !e)
        e = GetLastError(); // the error of the read, or of the size query, that failed
    if (error)
        *error = result == erReadError ? e : 0;
    return result;
}

bool HasOrvexVersion(const TImageBytes& image, bool& whole, bool& windowed) {
    TSections sections;
    uint64_t resources = 0;
    if (!ReadPeHeaders(image, sections, resources, windowed))
        return false;
    whole = sections.AllIn(image);
    const TImageBytes v = VersionResource(image, sections, resources);
    TBlock info, files, table, copyright, name;
    return v.Size && ReadBlock(v, 0, v.Size, info) &&
           EqualAsciiNoCase(info.Key, L"VS_VERSION_INFO") &&
           FindChild(v, info, L"StringFileInfo", files) &&
           FindChild(v, files, L"041104b0", table) &&
           FindChild(v, table, L"LegalCopyright", copyright) &&
           FindChild(v, table, L"InternalName", name) &&
           TextAt(v, copyright.Value, copyright.End).find(L"Tovimar") != std::wstring::npos &&
           EqualAsciiNoCase(TextAt(v, name.Value, name.End), L"orvex");
}

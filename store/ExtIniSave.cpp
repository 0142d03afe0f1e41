// The definition-file model: writing it back.
#include "ExtIniFile.h"

#include "Handle.h"
#include "ProgramPaths.h"

static void AppendLine(std::string& out, const std::string& line) {
    out += line;
    out += "\r\n";
}

void TExtIniSection::WriteTo(std::string& out) const {
    if (!FName.empty() || FNameless) {
        // A name ending in a lone lead byte would take the "]" for its second byte; a blank
        // between them, trimmed away on reading, keeps the header a header.
        std::string header = "[" + FName + "]";
        std::string name;
        if (!TExtIniFile::IsSectionHeader(header, name))
            header.insert(header.size() - 1, " ");
        AppendLine(out, header);
    }
    for (const TExtIniItem* item = FFirst; item; item = item->FNext)
        AppendLine(out, item->Text());
    AppendLine(out, std::string());
}

static const char kUtf8Bom[] = "\xEF\xBB\xBF";

void TExtIniFile::WriteTo(std::string& out) const {
    const size_t start = out.size();
    FPreamble.WriteTo(out);
    for (const TExtIniSection* s = FFirstInFile; s; s = s->FNextInFile)
        s->WriteTo(out);
    // A first line that itself begins with the mark's bytes (a CR between them was dropped on
    // loading) gets a mark before it, or the next load would take them for one.
    if (FHasUtf8Bom || out.compare(start, 3, kUtf8Bom) == 0)
        out.insert(start, kUtf8Bom);
}

// Writes bytes to a new file at path and makes sure they reached it.
static bool WriteNewFile(const std::string& path, const std::string& bytes) {
    TFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    DWORD put = 0;
    const bool ok = WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &put, nullptr) &&
                    put == bytes.size() && FlushFileBuffers(file.Get());
    return file.Close() && ok;
}

static std::string Hex(DWORD v) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 15]);
        v >>= 4;
    } while (v);
    return s;
}

// Temporary files of earlier saves that were killed before their replace; a save in progress
// holds its file open without sharing, so it is never among those deleted.
static void RemoveLeftoverTempFiles(const std::string& path) {
    const std::string dir = DirectoryPart(path);
    WIN32_FIND_DATAA fd;
    TFindHandle find(FindFirstFileA((path + ".~*.tmp").c_str(), &fd));
    if (!find.Valid())
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((dir + fd.cFileName).c_str());
    } while (FindNextFileA(find.Get(), &fd));
}

bool SaveTextToFile(const std::string& path, const std::string& text) {
    // A read-only target (or a folder of that name) is refused before anything is written.
    const DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES &&
        (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    RemoveLeftoverTempFiles(path);

    // The complete text goes to a temporary file beside the target, which then replaces the
    // target in one step: a failure at any point leaves the old file as it was.
    const std::string temp =
        path + ".~" + Hex(GetCurrentProcessId()) + Hex(GetTickCount()) + ".tmp";
    if (!WriteNewFile(temp, text)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    // A helper command reading the file holds it open for a moment; wait for it a little.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(temp.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD e = GetLastError();
        if ((e != ERROR_SHARING_VIOLATION && e != ERROR_ACCESS_DENIED &&
             e != ERROR_LOCK_VIOLATION) ||
            attempt >= 20)
            break;
        Sleep(50);
    }
    DeleteFileA(temp.c_str());
    return false;
}

bool TExtIniFile::SaveToFile(const std::string& path) const {
    std::string text;
    WriteTo(text);
    return SaveTextToFile(path, text);
}

bool TExtIniFile::Save() const {
    return !FFileName.empty() && SaveToFile(FFileName);
}

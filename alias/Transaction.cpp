#include "Transaction.h"

#include <memory>

#include "Alias.h"
#include "Encoding.h"
#include "Files.h"
#include "Format.h"
#include "HelperFiles.h"
#include "Messages.h"
#include "Names.h"
#include "Text.h"

TDefinitionTransaction::~TDefinitionTransaction() {
    for (int i = 1; i >= 0; --i)
        if (FLocked[i])
            ReleaseMutex(FLocks[i].Get());
}

std::string SpellingLockName(const std::string& definitionFile) {
    // Object names compare case-sensitively, and a "\" in one names a namespace, so the path itself
    // cannot be the name. A hash of the full path's file-name key names the lock instead, which
    // gives one lock for all spellings that differ only in case, "." or "..".
    std::wstring wide;
    std::string full;
    if (!ToWide(definitionFile, teCp932, wide) || !FromWide(FullPath(wide), teCp932, full))
        full = definitionFile;
    return "alias.ini lock#" + FormatNumber<std::string>(HashBytes(FileNameKey(full)), 16, 16);
}

std::string DefinitionLockName(const std::string& definitionFile) {
    // The lock is named after the folder, not the file: the file may be missing, and every save
    // replaces it with a new one, but the folder stays the same.
    std::wstring folder;
    TFileId id;
    if (!ToWide(DirectoryPart(definitionFile), teCp932, folder) || folder.empty() ||
        !FileIdOf(folder, id))
        return SpellingLockName(definitionFile);
    return "alias.ini lock@" + FormatNumber<std::string>(id.Volume, 16, 8) +
           FormatNumber<std::string>(id.High, 16, 8) + FormatNumber<std::string>(id.Low, 16, 8);
}

TFailure TDefinitionTransaction::Read() {
    const TLoadResult result = FIni.Load(FPath);
    FLoaded = result == lrLoaded;
    return FLoaded ? TFailure() : result == lrOutOfMemory ? OutOfMemoryFailure() : SilentFailure();
}

TFailure TDefinitionTransaction::Begin(TFileNeed need) {
    // Take the folder's lock first, then the lock that an older alias.exe, if one is still
    // running, takes by the path's spelling, so that it waits for this run as it always did. Every
    // run takes the two in this order, so no two runs can wait for each other for ever.
    const std::string names[2] = {DefinitionLockName(FPath), SpellingLockName(FPath)};
    for (int i = 0; i < 2 && (i == 0 || names[1] != names[0]); ++i) {
        FLocks[i].Reset(CreateMutexA(nullptr, FALSE, names[i].c_str()));
        const DWORD w =
            FLocks[i].Valid() ? WaitForSingleObject(FLocks[i].Get(), kLockTimeoutMs) : WAIT_FAILED;
        FLocked[i] = w == WAIT_OBJECT_0 || w == WAIT_ABANDONED;
        // Only a lock that another run holds is reported as busy, a report that needs no system
        // error. A lock that cannot be made is reported as an unreadable file, with the system's
        // error as its cause.
        if (!FLocked[i]) {
            const DWORD e = w == WAIT_TIMEOUT ? 0 : GetLastError();
            return Failure(DefinitionFileFailed(FPath, w == WAIT_TIMEOUT ? dfBusy : dfUnreadable),
                           e);
        }
    }
    if (TFailure f = Load(need))
        return f;
    // The file starts with a UTF-8 mark but its bytes are not all UTF-8. A save would only spread
    // the damage, so no change is made.
    if (FLoaded && !FIni.EncodingValid())
        return Failure(DefinitionFileFailed(FPath, dfNotUtf8));
    return RecoverInterruptedChanges(FFolder, AliasOfFile());
}

TFailure TDefinitionTransaction::ReadRequired() {
    return Load(fnRequired);
}

TFailure TDefinitionTransaction::Load(TFileNeed need) {
    // A file that cannot be read still holds definitions, and no command may act as if they were
    // absent. A file refused for what it holds (UTF-16 text, or too large a file) leaves no system
    // error, so the error is cleared first and none is shown for it.
    SetLastError(ERROR_SUCCESS);
    const TLoadResult result = FIni.Load(FPath);
    const DWORD error = GetLastError();
    FLoaded = result == lrLoaded;
    if (result == lrOutOfMemory)
        return OutOfMemoryFailure();
    if (result == lrUnreadable)
        return Failure(DefinitionFileFailed(FPath, dfUnreadable), error);
    if (result == lrMissing && need == fnRequired)
        return Failure(DefinitionFileFailed(FPath, dfMissing));
    return TFailure();
}

TFailure TDefinitionTransaction::FileText(const std::wstring& text, std::string& out) const {
    return FromWide(text, Encoding(), out) ? TFailure()
                                           : Failure(NotInEncoding(ShownCp932(text), Encoding()));
}

std::wstring TDefinitionTransaction::Decoded(const std::string& fileText) const {
    std::wstring wide;
    FileTextToWide(fileText, Encoding(), wide);
    return wide;
}

std::string TDefinitionTransaction::Shown(const std::string& fileText) const {
    return Encoding() == teCp932 ? fileText : ShownCp932(Decoded(fileText));
}

TExtIniSection* TDefinitionTransaction::FindAlias(const std::string& fileName) const {
    std::wstring wide;
    std::string name = fileName;
    if (!FLoaded || IsReservedName(fileName) ||
        (Encoding() != teCp932 &&
         !(ToWide(fileName, teCp932, wide) && FromWide(wide, Encoding(), name))))
        return nullptr;
    return FIni.FindSection(name);
}

bool TDefinitionTransaction::HelperName(const TExtIniSection& s, std::string& fileName) const {
    fileName = s.Name();
    // A name whose helper could never be changed (its temporary name would be too long) gets no
    // helper at all.
    return (Encoding() == teCp932 || FromWide(Decoded(s.Name()), teCp932, fileName)) &&
           !IsRefusedName(fileName) && FitsHelperChange(FFolder.HelperPath(fileName));
}

TFailure TDefinitionTransaction::WriteValue(const std::string& section, const std::string& key,
                                            const std::string& value) {
    return FIni.WriteValue(section, key, value) ? TFailure() : Failure(kBadParameter);
}

TFailure TDefinitionTransaction::NotWritten() const {
    return Failure(DefinitionFileFailed(FPath, dfNotWritten));
}

TFailure TDefinitionTransaction::Commit() {
    if (FLoaded && !FIni.Modified())
        return TFailure();
    if (FLoaded && !FIni.KeepsEncoding())
        return Failure(DefinitionFileFailed(FPath, dfWouldReadAsUtf8));
    if (FLoaded && !FIni.ReadsBackAsItself())
        return Failure(DefinitionFileFailed(FPath, dfWouldReadAsOther));
    const uint32_t memory = MemoryMark();
    if (FLoaded && FIni.Save())
        return TFailure();
    const DWORD error = GetLastError();
    return MemoryRanOutSince(memory) ? OutOfMemoryFailure()
                                     : Failure(DefinitionFileFailed(FPath, dfNotWritten), error);
}

TFailure TDefinitionTransaction::KeepOriginal() {
    // A large file needs a large block of memory. When memory cannot give it, that is reported as a
    // failure instead of ending the program.
    const TLoadResult kept = ReadWholeFile(FPath, FOriginal);
    return kept == lrLoaded        ? TFailure()
           : kept == lrOutOfMemory ? OutOfMemoryFailure()
                                   : NotWritten();
}

bool TDefinitionTransaction::RestoreOriginal() const {
    // The block holds a zero byte after the file's bytes, which is not part of the file.
    return ReplaceWholeFile(FPath, static_cast<const char*>(FOriginal.Data()),
                            FOriginal.Size() - 1);
}

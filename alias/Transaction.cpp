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
    // Object names compare case-sensitively and a "\" names a namespace: a hash of the full path's
    // file-name key names the lock, one for the spellings that differ in case, "." or "..".
    std::wstring wide;
    std::string full;
    if (!ToWide(definitionFile, teCp932, wide) || !FromWide(FullPath(wide), teCp932, full))
        full = definitionFile;
    return "alias.ini lock#" + FormatNumber<std::string>(HashBytes(FileNameKey(full)), 16, 16);
}

std::string DefinitionLockName(const std::string& definitionFile) {
    // The file itself may be missing, or replaced by every save: its folder stays what it is.
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
    // The folder's lock first, then the one an older alias.exe, still running, takes by the
    // spelling it was started with: it waits for this run as before. Every run takes them in this
    // order, so two never wait for each other.
    const std::string names[2] = {DefinitionLockName(FPath), SpellingLockName(FPath)};
    for (int i = 0; i < 2 && (i == 0 || names[1] != names[0]); ++i) {
        FLocks[i].Reset(CreateMutexA(nullptr, FALSE, names[i].c_str()));
        const DWORD w =
            FLocks[i].Valid() ? WaitForSingleObject(FLocks[i].Get(), kLockTimeoutMs) : WAIT_FAILED;
        FLocked[i] = w == WAIT_OBJECT_0 || w == WAIT_ABANDONED;
        // Only another run's lock is "busy", which says all; one that cannot be made is an
        // unreadable file, with the system's cause.
        if (!FLocked[i]) {
            const DWORD e = w == WAIT_TIMEOUT ? 0 : GetLastError();
            return Failure(DefinitionFileFailed(FPath, w == WAIT_TIMEOUT ? dfBusy : dfUnreadable),
                           e);
        }
    }
    if (TFailure f = Load(need))
        return f;
    // A mark before bytes that are no UTF-8: a save would only spread the damage.
    if (FLoaded && !FIni.EncodingValid())
        return Failure(DefinitionFileFailed(FPath, dfNotUtf8));
    return RecoverInterruptedChanges(FFolder, AliasOfFile());
}

TFailure TDefinitionTransaction::ReadRequired() {
    return Load(fnRequired);
}

TFailure TDefinitionTransaction::Load(TFileNeed need) {
    // A file that cannot be read still holds definitions, which no command may take for absent.
    // Text that is no definition file (UTF-16), or too large a file, has no system error: none
    // is shown for it.
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
    // A name whose helper could not be changed (its temporary name too long) can make none.
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
    // A large file is a large block: one that memory cannot give is reported, not fatal.
    const TLoadResult kept = ReadWholeFile(FPath, FOriginal);
    return kept == lrLoaded        ? TFailure()
           : kept == lrOutOfMemory ? OutOfMemoryFailure()
                                   : NotWritten();
}

bool TDefinitionTransaction::RestoreOriginal() const {
    // The block holds a zero byte after the file's bytes.
    return ReplaceWholeFile(FPath, static_cast<const char*>(FOriginal.Data()),
                            FOriginal.Size() - 1);
}

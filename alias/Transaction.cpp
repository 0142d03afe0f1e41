#include "Transaction.h"

#include "Alias.h"
#include "Encoding.h"
#include "Format.h"
#include "Grow.h"
#include "HelperFiles.h"
#include "LocaleCase.h"
#include "Messages.h"
#include "Names.h"
#include "Text.h"

TDefinitionLock::~TDefinitionLock() {
    if (FOwned)
        ReleaseMutex(FMutex.Get());
}

std::string DefinitionLockName(const std::string& definitionFile) {
    std::string full;
    if (!FillGrowing(full, [&](char* buffer, size_t capacity) {
            return size_t(
                GetFullPathNameA(definitionFile.c_str(), DWORD(capacity), buffer, nullptr));
        }))
        full = definitionFile;
    std::string name = "alias.ini lock:" + UpperLocale(full);
    for (size_t i = 0; i < name.size(); i += CharLength(name, i))
        if (name[i] == '\\')
            name[i] = '/';
    // Object names are limited to MAX_PATH; a longer path is named by its hash.
    if (name.size() >= MAX_PATH)
        name = "alias.ini lock#" + FormatNumber<std::string>(HashBytes(name), 16, 16);
    return name;
}

bool TDefinitionLock::Acquire(const std::string& definitionFile, DWORD timeoutMs) {
    FMutex.Reset(CreateMutexA(nullptr, FALSE, DefinitionLockName(definitionFile).c_str()));
    if (!FMutex.Valid())
        return false;
    const DWORD w = WaitForSingleObject(FMutex.Get(), timeoutMs);
    FOwned = w == WAIT_OBJECT_0 || w == WAIT_ABANDONED;
    return FOwned;
}

bool TDefinitionTransaction::Read() {
    FPath = FFolder.DefinitionFile();
    const TLoadResult result = FIni.Load(FPath);
    FReadReported = result == lrOutOfMemory;
    if (FReadReported)
        ReportOutOfMemory();
    FLoaded = result == lrLoaded;
    return FLoaded;
}

bool TDefinitionTransaction::Begin(TFileNeed need) {
    FPath = FFolder.DefinitionFile();
    if (!FLock.Acquire(FPath, kLockTimeoutMs)) {
        ReportError(DefinitionFileFailed(FPath, dfBusy));
        return false;
    }
    if (!LoadReporting(need))
        return false;
    // A mark before bytes that are no UTF-8: a save would only spread the damage.
    if (FLoaded && !FIni.EncodingValid()) {
        ReportError(DefinitionFileFailed(FPath, dfNotUtf8));
        return false;
    }
    RecoverInterruptedChanges(*this);
    return true;
}

bool TDefinitionTransaction::ReadRequired() {
    FPath = FFolder.DefinitionFile();
    return LoadReporting(fnRequired);
}

bool TDefinitionTransaction::LoadReporting(TFileNeed need) {
    // Only a file that is not there is no definition file: one that cannot be read still
    // holds definitions, which no command may take for absent.
    const TLoadResult result = FIni.Load(FPath);
    FLoaded = result == lrLoaded;
    if (result == lrOutOfMemory) {
        ReportOutOfMemory();
        return false;
    }
    if (result == lrUnreadable) {
        ReportError(DefinitionFileFailed(FPath, dfUnreadable));
        return false;
    }
    if (result == lrMissing && need == fnRequired) {
        ReportError(DefinitionFileFailed(FPath, dfMissing));
        return false;
    }
    return true;
}

bool TDefinitionTransaction::FileText(const std::wstring& text, std::string& out) const {
    if (FromWide(text, Encoding(), out))
        return true;
    ReportError(NotInEncoding(ShownCp932(text), Encoding()));
    return false;
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
    return (Encoding() == teCp932 || FromWide(Decoded(s.Name()), teCp932, fileName)) &&
           !IsRefusedName(fileName);
}

bool TDefinitionTransaction::WriteValue(const std::string& section, const std::string& key,
                                        const std::string& value) {
    if (FIni.WriteValue(section, key, value))
        return true;
    ReportError(kBadParameter);
    return false;
}

void TDefinitionTransaction::ReportNotWritten() const {
    ReportError(DefinitionFileFailed(FPath, dfNotWritten));
}

bool TDefinitionTransaction::Commit() {
    if (FLoaded && !FIni.Modified())
        return true;
    if (FLoaded && !FIni.KeepsEncoding()) {
        ReportError(DefinitionFileFailed(FPath, dfWouldReadAsUtf8));
        return false;
    }
    if (FLoaded && FIni.Save())
        return true;
    if (OutOfMemory())
        ReportOutOfMemory();
    else
        ReportNotWritten();
    return false;
}

bool TDefinitionTransaction::KeepOriginal() {
    TFileHandle file(CreateFileA(FPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size;
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) {
        ReportNotWritten();
        return false;
    }
    // A large file is a large block: one that memory cannot give is reported, not fatal.
    FOriginal.Release();
    if (!FOriginal.Allocate(uint32_t(size.QuadPart))) {
        ReportOutOfMemory();
        return false;
    }
    DWORD got = 0;
    if (FOriginal.Size() > 0 &&
        (!ReadFile(file.Get(), FOriginal.Data(), FOriginal.Size(), &got, nullptr) ||
         got != FOriginal.Size())) {
        ReportNotWritten();
        return false;
    }
    return true;
}

bool TDefinitionTransaction::RestoreOriginal() const {
    return SaveTextToFile(FPath, static_cast<const char*>(FOriginal.Data()), FOriginal.Size());
}

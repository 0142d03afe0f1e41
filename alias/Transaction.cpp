#include "Transaction.h"

#include <type_traits>

#include "Alias.h"
#include "HelperFiles.h"
#include "LocaleCase.h"
#include "Names.h"
#include "ProgramFolder.h"
#include "TextUtils.h"

TDefinitionLock::~TDefinitionLock() {
    if (FOwned)
        ReleaseMutex(FMutex.Get());
}

std::string DefinitionLockName(const std::string& definitionFile) {
    std::string full(MAX_PATH, '\0');
    DWORD n = GetFullPathNameA(definitionFile.c_str(), DWORD(full.size()), &full[0], nullptr);
    if (n >= full.size()) {
        full.assign(n + 1, '\0');
        n = GetFullPathNameA(definitionFile.c_str(), DWORD(full.size()), &full[0], nullptr);
    }
    full.resize(n < full.size() ? n : 0);
    if (full.empty())
        full = definitionFile;
    std::string name = "alias.ini lock:" + UpperLocale(full);
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsLeadByte(name[i]) && i + 1 < name.size() && IsTrailByte(name[i + 1]))
            ++i;
        else if (name[i] == '\\')
            name[i] = '/';
    }
    // Object names are limited to MAX_PATH; a longer path is named by its hash.
    if (name.size() >= MAX_PATH) {
        uint64_t h = 1469598103934665603ull; // FNV-1a
        for (unsigned char c : name)
            h = (h ^ c) * 1099511628211ull;
        static const char digits[] = "0123456789ABCDEF";
        name = "alias.ini lock#";
        for (int shift = 60; shift >= 0; shift -= 4)
            name += digits[(h >> shift) & 15];
    }
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
    FPath = FindDefinitionFile();
    const TLoadResult result = FIni.Load(FPath);
    if (result == lrOutOfMemory)
        ReportOutOfMemory();
    FLoaded = result == lrLoaded;
    return FLoaded;
}

bool TDefinitionTransaction::Begin(TFileNeed need) {
    FPath = FindDefinitionFile();
    if (!FLock.Acquire(FPath, kLockTimeoutMs)) {
        ReportError("定義ファイル" + FPath + "は別の alias が使用中です。");
        return false;
    }
    // Only a file that is not there is no definition file: one that cannot be read still
    // holds definitions, which no command may take for absent.
    const TLoadResult result = FIni.Load(FPath);
    FLoaded = result == lrLoaded;
    if (result == lrOutOfMemory) {
        ReportOutOfMemory();
        return false;
    }
    if (result == lrUnreadable) {
        ReportError("定義ファイル" + FPath + "を読み込めません。");
        return false;
    }
    if (result == lrMissing && need == fnRequired) {
        ReportError("定義ファイル" + FPath + "がありません。alias /edit で作成してください。");
        return false;
    }
    RecoverInterruptedChanges(*this);
    return true;
}

TExtIniSection* TDefinitionTransaction::FindAlias(const std::string& name) const {
    return FLoaded && !IsReservedName(name) ? FIni.FindSection(name) : nullptr;
}

namespace {
// The store's writers may refuse a value (returning false) or accept every value (void).
template <class Op> bool StoreAccepted(Op op) {
    if constexpr (std::is_void_v<decltype(op())>) {
        op();
        return true;
    } else {
        return bool(op());
    }
}
} // namespace

bool TDefinitionTransaction::WriteValue(const std::string& section, const std::string& key,
                                        const std::string& value) {
    if (StoreAccepted([&] { return FIni.WriteValue(section, key, value); }))
        return true;
    ReportError("パラメタに誤りがあります。");
    return false;
}

void TDefinitionTransaction::ReportNotWritten() const {
    ReportError("定義ファイル" + FPath + "に書き込めません。");
}

bool TDefinitionTransaction::Commit() {
    if (FLoaded && !FIni.Modified())
        return true;
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

// Owners for Win32 handles; which value means "no handle" is part of the type.
#pragma once

#include <windows.h>

template <HANDLE (*Invalid)(), BOOL(WINAPI* Closer)(HANDLE)> class TUniqueHandle {
  public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(HANDLE h) : FHandle(h) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    HANDLE Get() const { return FHandle; }
    bool Valid() const { return FHandle != Invalid(); }
    void Reset(HANDLE h = Invalid()) {
        if (FHandle != Invalid())
            Closer(FHandle);
        FHandle = h;
    }
    // Closes now and tells whether that worked (a write is only known to be done then).
    bool Close() {
        BOOL ok = FHandle != Invalid() ? Closer(FHandle) : TRUE;
        FHandle = Invalid();
        return ok != 0;
    }

  private:
    HANDLE FHandle = Invalid();
};

inline HANDLE InvalidFileHandle() {
    return INVALID_HANDLE_VALUE;
}
inline HANDLE NullHandle() {
    return nullptr;
}

using TFileHandle = TUniqueHandle<InvalidFileHandle, CloseHandle>; // CreateFileA
using TFindHandle = TUniqueHandle<InvalidFileHandle, FindClose>;   // FindFirstFileA
using TKernelHandle = TUniqueHandle<NullHandle, CloseHandle>;      // processes, threads

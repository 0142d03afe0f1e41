// Owners for Win32 handles. Which value means "no handle" (INVALID_HANDLE_VALUE or null) depends
// on the call that made the handle, so it is part of the type.
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
    // Closes the handle now and returns whether that worked. A write to a file is only known to be
    // complete once the close has succeeded, so a writer must check this.
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

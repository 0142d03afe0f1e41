// Memory for alias.exe. It is built without exceptions, so a failed allocation would otherwise end
// the program with exit code 3. Instead, the first failure frees a reserve block so that the
// allocation can succeed, and notes the shortage (NoteOutOfMemory). The work that builds large
// structures sees the note at its next check and stops with a report, having changed nothing.
// Only a failure that the reserve cannot cover ends the program at once, with the same error line
// and exit code 1.
#include <windows.h>

#include <cstddef>

#include "Alias.h"
#include "ExtMem.h"

namespace {

// Enough for what one line of the file and the report need once the heap is exhausted.
const SIZE_T kReserveSize = 1 << 20;

void* Reserve = HeapAlloc(GetProcessHeap(), 0, kReserveSize);

void* Allocate(std::size_t n) {
    for (;;) {
        if (void* p = HeapAlloc(GetProcessHeap(), 0, n ? n : 1))
            return p;
        NoteOutOfMemory();
        if (!Reserve)
            break;
        HeapFree(GetProcessHeap(), 0, Reserve);
        Reserve = nullptr;
    }
    ReportOutOfMemory();
    ExitProcess(1);
}

void Free(void* p) {
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

} // namespace

// Only the plain forms are replaced: the runtime's array and nothrow forms call these, so every
// allocation goes through the same reserve.
void* operator new(std::size_t n) {
    return Allocate(n);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}

// Memory for alias.exe, built without exceptions: a failed allocation would end it with exit
// code 3. Instead the first one lends a reserve and notes it (NoteOutOfMemory): the work that
// builds large structures stops at its next check and reports it, having changed nothing. Only a
// failure the reserve cannot cover ends the program, with the same error line and exit code 1.
#include <windows.h>

#include <cstddef>

#include "Alias.h"
#include "ExtMem.h"

namespace {

// Enough for what a line of the file and the report need once the heap is exhausted.
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

// The runtime's array and nothrow forms call these.
void* operator new(std::size_t n) {
    return Allocate(n);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}

// Memory for alias.exe. The program is built without exceptions, so an allocation that fails
// would end it with the runtime's "terminate" and exit code 3. Instead, the first failure lends
// a reserve put aside at start-up and records that memory ran out (NoteOutOfMemory): the
// allocation succeeds, and the work that builds large structures, loading the definition file,
// stops at its next check and the command reports it, having changed nothing. Only a failure
// the reserve cannot cover ends the program, with the same one error line and exit code 1.
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

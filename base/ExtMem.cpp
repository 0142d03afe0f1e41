#include "ExtMem.h"

#include <windows.h>

namespace {
bool MemoryRanOut = false;
} // namespace

bool OutOfMemory() {
    return MemoryRanOut;
}

void NoteOutOfMemory() {
    MemoryRanOut = true;
}

void* TExtMem::Allocate(uint32_t size) {
    if (FData)
        return nullptr;
    FData = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (!FData) {
        FSize = 0;
        return nullptr;
    }
    FSize = size;
    return FData;
}

void TExtMem::Release() {
    if (FData)
        HeapFree(GetProcessHeap(), 0, FData);
    FData = nullptr;
    FSize = 0;
}

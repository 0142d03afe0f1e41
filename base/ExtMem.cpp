#include "ExtMem.h"

#include <windows.h>

namespace {
uint32_t TimesMemoryRanOut = 0;
} // namespace

uint32_t MemoryMark() {
    return TimesMemoryRanOut;
}

bool MemoryRanOutSince(uint32_t mark) {
    return TimesMemoryRanOut != mark;
}

void NoteOutOfMemory() {
    ++TimesMemoryRanOut;
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

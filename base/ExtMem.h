// TExtMem owns one heap block, whose size is fixed when it is allocated.
#pragma once

#include <cstdint>

class TExtMem {
  public:
    TExtMem() = default;
    ~TExtMem() { Release(); }
    TExtMem(const TExtMem&) = delete;
    TExtMem& operator=(const TExtMem&) = delete;

    // Returns null when a block is already held or the heap cannot supply one. The new bytes are
    // not cleared.
    void* Allocate(uint32_t size);
    void Release();

    void* Data() const { return FData; }
    uint32_t Size() const { return FSize; }
    bool Allocated() const { return FData != nullptr; }

  private:
    uint32_t FSize = 0;
    void* FData = nullptr;
};

// Tells whether alias.exe's allocator ran out of memory (and lent its reserve) since a mark was
// taken. Work that builds large structures takes a mark when it starts, checks it, and stops with a
// report when memory ran out. Each piece of work takes its own mark, so a shortage during earlier
// work is never reported as the cause of a later failure.
uint32_t MemoryMark();
bool MemoryRanOutSince(uint32_t mark);
void NoteOutOfMemory();

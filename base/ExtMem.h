// TExtMem: one heap block whose size is fixed when it is reserved.
#pragma once

#include <cstdint>

class TExtMem {
  public:
    TExtMem() = default;
    ~TExtMem() { Release(); }
    TExtMem(const TExtMem&) = delete;
    TExtMem& operator=(const TExtMem&) = delete;

    // Reserves size bytes (one byte for size 0, while Size() stays 0). Null when a block is
    // already held or the heap cannot supply it; the bytes are not cleared.
    void* Allocate(uint32_t size);
    void Release();

    void* Data() const { return FData; }
    uint32_t Size() const { return FSize; }
    bool Allocated() const { return FData != nullptr; }

  private:
    uint32_t FSize = 0;
    void* FData = nullptr;
};

// Whether memory has run out in this process since a mark was taken: alias.exe's allocator had
// to lend its reserve. Work that builds large structures (loading the definition file) stops at
// it, and the command reports it instead of going on at the edge; each piece of work watches
// from its own mark, so a shortage is never taken for a later failure's cause.
uint32_t MemoryMark();
bool MemoryRanOutSince(uint32_t mark);
void NoteOutOfMemory();

// TExtMem: one heap block whose size is fixed when it is reserved.
#pragma once

#include <cstdint>

class TExtMem {
  public:
    TExtMem() = default;
    ~TExtMem() { Release(); }
    TExtMem(const TExtMem&) = delete;
    TExtMem& operator=(const TExtMem&) = delete;

    // Null when a block is held or the heap cannot supply one; the bytes are not cleared.
    void* Allocate(uint32_t size);
    void Release();

    void* Data() const { return FData; }
    uint32_t Size() const { return FSize; }
    bool Allocated() const { return FData != nullptr; }

  private:
    uint32_t FSize = 0;
    void* FData = nullptr;
};

// Whether alias.exe's allocator had to lend its reserve since a mark: work that builds large
// structures stops and reports it. Each piece of work has its own mark, so a shortage is never
// taken for a later failure's cause.
uint32_t MemoryMark();
bool MemoryRanOutSince(uint32_t mark);
void NoteOutOfMemory();

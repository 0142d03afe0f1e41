// Points this program's import-table entries of a system function at a stand-in, so a test can
// make the real call fail, or watch it, inside the product's own code (no fake platform layer:
// the product calls the system as ever, through the table the loader filled in).
#pragma once

#include <windows.h>

namespace testing_support {

// Every entry of this program's import table that holds from is set to to. The address of a
// dllimport function is what its entry holds, so from is &Function; the function that was
// there is returned (null when no entry held it): call it through that, since the compiler
// may read &Function anew from the changed entry.
inline const void* PointImportsAt(const void* from, const void* to) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return nullptr;
    const void* found = nullptr;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name; ++d)
        for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function;
             ++t) {
            if (t->u1.Function != reinterpret_cast<ULONG_PTR>(from))
                continue;
            DWORD old = 0;
            if (!VirtualProtect(&t->u1.Function, sizeof t->u1.Function, PAGE_READWRITE, &old))
                return nullptr;
            found = reinterpret_cast<const void*>(t->u1.Function);
            t->u1.Function = reinterpret_cast<ULONG_PTR>(to);
            VirtualProtect(&t->u1.Function, sizeof t->u1.Function, old, &old);
        }
    return found;
}

} // namespace testing_support

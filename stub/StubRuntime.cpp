// Replacements for the parts of the C++ runtime that would pull the exception machinery into every
// helper and make each one much larger. The helper never throws: running out of memory or breaking
// a bound ends the process at once, with exit code 255.
#include <windows.h>

#include <bits/functexcept.h>
#include <cstddef>
#include <new>

namespace {
[[noreturn]] void Die() {
    ExitProcess(255);
}
} // namespace

void* operator new(std::size_t n) {
    void* p = HeapAlloc(GetProcessHeap(), 0, n ? n : 1);
    if (!p)
        Die();
    return p;
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void operator delete(void* p) noexcept {
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    Die();
}
} // namespace __gnu_cxx

namespace std {
void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept {
    Die();
}
void __throw_length_error(const char*) {
    Die();
}
void __throw_logic_error(const char*) {
    Die();
}
void __throw_out_of_range(const char*) {
    Die();
}
void __throw_out_of_range_fmt(const char*, ...) {
    Die();
}
void __throw_bad_alloc() {
    Die();
}
void __throw_bad_array_new_length() {
    Die();
}
void __throw_invalid_argument(const char*) {
    Die();
}
} // namespace std

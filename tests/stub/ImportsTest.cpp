// What the templates import: the console build kernel32 (and the C runtime) alone, the windowed
// build no user32, so a helper command costs little more than one process start.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "TestSupport.h"

using namespace testing_support;

namespace {

uint32_t U32(const std::string& b, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= b.size())
        memcpy(&v, b.data() + at, 4);
    return v;
}
uint16_t U16(const std::string& b, size_t at) {
    uint16_t v = 0;
    if (at + 2 <= b.size())
        memcpy(&v, b.data() + at, 2);
    return v;
}

// DLL names of a PE image's import directory, upper-cased; empty set on a malformed file.
std::set<std::string> Imports(const std::string& img) {
    std::set<std::string> dlls;
    const uint32_t pe = U32(img, 0x3C);
    if (img.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return dlls;
    const uint16_t sections = U16(img, pe + 6), optSize = U16(img, pe + 20);
    const size_t opt = pe + 24;
    const bool pe32plus = U16(img, opt) == 0x20B;
    const uint32_t importRva = U32(img, opt + (pe32plus ? 120 : 104));
    auto toOffset = [&](uint32_t rva) -> size_t {
        for (uint16_t i = 0; i < sections; ++i) {
            size_t sh = opt + optSize + i * 40u;
            uint32_t va = U32(img, sh + 12), vsize = U32(img, sh + 8), raw = U32(img, sh + 20);
            if (rva >= va && rva < va + vsize)
                return rva - va + raw;
        }
        return 0;
    };
    for (size_t d = toOffset(importRva); d && U32(img, d + 12); d += 20) {
        size_t name = toOffset(U32(img, d + 12));
        std::string n(img.c_str() + name);
        for (char& c : n)
            c = char(toupper(static_cast<unsigned char>(c)));
        dlls.insert(n);
    }
    return dlls;
}

TEST(TemplateImports, ConsoleBuildImportsKernel32AndTheRuntimeOnly) {
    std::set<std::string> dlls = Imports(ReadFileBytes(DistDir() + "dovoz.ex_"));
    ASSERT_TRUE(dlls.count("KERNEL32.DLL"));
    dlls.erase("KERNEL32.DLL");
    dlls.erase("MSVCRT.DLL");
    EXPECT_TRUE(dlls.empty()) << *dlls.begin();
}

TEST(TemplateImports, WindowedBuildDoesNotImportUser32) {
    std::set<std::string> dlls = Imports(ReadFileBytes(DistDir() + "rudi.ex_"));
    ASSERT_TRUE(dlls.count("KERNEL32.DLL"));
    for (const char* banned : {"USER32.DLL", "SHELL32.DLL", "SHLWAPI.DLL", "VERSION.DLL"})
        EXPECT_FALSE(dlls.count(banned)) << banned;
}

} // namespace

// Every shipped program carries an application manifest that asks for no elevation: without it
// Windows takes a 32-bit program whose name holds "setup", "update" or "patch" for an installer
// and asks for administrator rights at every start. Every helper shows the same icon, in both
// sizes Explorer and the task bar ask for.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <set>

#include "TestSupport.h"

using namespace testing_support;

namespace {

// The bytes of a resource of the file; empty when missing.
std::string Resource(const std::string& file, const char* type, const char* name, WORD language) {
    HMODULE m = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m)
        return std::string();
    std::string bytes;
    if (HRSRC r = FindResourceExA(m, type, name, language))
        if (HGLOBAL g = LoadResource(m, r))
            bytes.assign(static_cast<const char*>(LockResource(g)), SizeofResource(m, r));
    FreeLibrary(m);
    return bytes;
}

// The text of the manifest resource the loader reads (RT_MANIFEST, id 1); empty when missing.
std::string Manifest(const std::string& file) {
    HMODULE m = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m)
        return std::string();
    std::string text;
    if (HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)))
        if (HGLOBAL g = LoadResource(m, r))
            text.assign(static_cast<const char*>(LockResource(g)), SizeofResource(m, r));
    FreeLibrary(m);
    return text;
}

#pragma pack(push, 2)
struct TIconEntry { // an entry of an icon group resource
    BYTE Width, Height, Colours, Reserved;
    WORD Planes, BitCount;
    DWORD Bytes;
    WORD Id;
};
#pragma pack(pop)

TEST(Manifest, EveryProgramRunsAsItsInvokerOnEverySupportedSystem) {
    for (const char* file : {"alias.exe", "rudi.ex_", "dovoz.ex_"}) {
        const std::string text = Manifest(DistDir() + file);
        ASSERT_FALSE(text.empty()) << file;
        EXPECT_NE(text.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos)
            << file;
        for (const char* os : {"e2011457-1546-43c5-a5fe-008deee3d3f0",  // Vista
                               "35138b9a-5d96-4fbd-8e2d-a2440225f93a",  // 7
                               "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",  // 8
                               "1f676c76-80e1-4239-95bb-83d0f6d0da78",  // 8.1
                               "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) // 10 and 11
            EXPECT_NE(text.find(std::string("<supportedOS Id=\"{") + os + "}\"/>"),
                      std::string::npos)
                << file << " " << os;
    }
}

TEST(Manifest, EveryHelperShowsTheIconInBothSizes) {
    const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    for (const char* file : {"rudi.ex_", "dovoz.ex_"}) {
        const std::string path = DistDir() + file;
        const std::string group =
            Resource(path, MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(100), japanese); // RT_GROUP_ICON
        ASSERT_GE(group.size(), 6u) << file;
        const WORD count = *reinterpret_cast<const WORD*>(&group[4]);
        ASSERT_EQ(group.size(), 6 + count * sizeof(TIconEntry)) << file;
        std::set<int> sizes;
        for (WORD i = 0; i < count; ++i) {
            TIconEntry e;
            memcpy(&e, &group[6 + i * sizeof e], sizeof e);
            EXPECT_EQ(e.Width, e.Height) << file;
            EXPECT_EQ(e.Colours, 16) << file;
            EXPECT_EQ(e.BitCount, 4) << file;
            // The image itself, of the size the group says: a PNG of that width and height,
            // 4 bits a pixel from a palette of 16 colours.
            const std::string image =
                Resource(path, MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(e.Id), japanese); // RT_ICON
            ASSERT_EQ(image.size(), e.Bytes) << file;
            ASSERT_GE(image.size(), 8u + 25 + 12 + 48) << file;
            EXPECT_EQ(image.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0) << file;
            EXPECT_EQ(image.compare(12, 4, "IHDR"), 0) << file;
            const auto byte = [&image](size_t at) { return uint8_t(image[at]); };
            EXPECT_EQ(byte(19), e.Width) << file;  // width, big-endian
            EXPECT_EQ(byte(23), e.Height) << file; // height
            EXPECT_EQ(byte(24), 4) << file;        // bits a pixel
            EXPECT_EQ(byte(25), 3) << file;        // from a palette
            EXPECT_EQ(image.compare(37, 4, "PLTE"), 0) << file;
            EXPECT_EQ(byte(36), 48) << file; // 16 colours of 3 bytes
            sizes.insert(e.Width);
        }
        EXPECT_EQ(sizes, (std::set<int>{16, 32})) << file;
    }
}

} // namespace

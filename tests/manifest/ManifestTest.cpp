// Every shipped program carries an application manifest that asks for no elevation: without it
// Windows takes a 32-bit program whose name holds "setup", "update" or "patch" for an installer
// and asks for administrator rights at every start.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

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

} // namespace

#include <gtest/gtest.h>

#include <cstring>

#include "ExeType.h"
#include "Handle.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// The detection of a file named in code page 932, as the tests name their files.
TExeResult TypeOf(const std::string& path, TExeType& kind) {
    return GetExeType(AnsiToWide(path), kind);
}

} // namespace

namespace {

void Put16(std::string& b, size_t at, uint16_t v) {
    if (b.size() < at + 2)
        b.resize(at + 2, '\0');
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

void Put32(std::string& b, size_t at, uint32_t v) {
    Put16(b, at, uint16_t(v & 0xFFFF));
    Put16(b, at + 2, uint16_t(v >> 16));
}

// An "MZ" header whose new header sits at lfanew.
std::string Mz(uint32_t lfanew) {
    std::string b(64, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, lfanew);
    return b;
}

// A PE image: new header at 0x80, the given optional-header size and subsystem, total bytes
// total (at least up to new header + 248 unless total says otherwise).
std::string Pe(uint16_t subsystem, uint16_t optSize = 224, size_t total = 0x80 + 248) {
    std::string b = Mz(0x80);
    b.resize(0x80, '\0');
    b += std::string("PE\0\0", 4);
    b.resize(0x80 + 24 + 224, '\0');
    Put16(b, 0x80 + 4 + 16, optSize);
    Put16(b, 0x80 + 24 + 68, subsystem);
    b.resize(total, '\0');
    return b;
}

class ExeTypeFiles : public ::testing::Test {
  protected:
    ScratchDir dir{CurrentTestName()};

    TExeType Classify(const std::string& bytes, TExeResult expected = erOk) {
        const std::string path = dir / "probe.bin";
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        TExeType kind = etWinGui; // must be reset by the call
        EXPECT_EQ(TypeOf(path, kind), expected);
        return kind;
    }
};

TEST_F(ExeTypeFiles, ShortOrForeignFilesAreUnknown) {
    EXPECT_EQ(Classify(""), etUnknown);
    EXPECT_EQ(Classify("M"), etUnknown);
    EXPECT_EQ(Classify(std::string("MZ") + std::string(61, '\0')), etUnknown); // 63 bytes
    EXPECT_EQ(Classify("#!/bin/sh\necho hi\n"), etUnknown);
}

TEST_F(ExeTypeFiles, ZeroNewHeaderOffsetIsDos) {
    EXPECT_EQ(Classify(Mz(0)), etDos);
}

TEST_F(ExeTypeFiles, NewHeaderPastTheEndIsUnknownNotAnError) {
    EXPECT_EQ(Classify(Mz(61)), etUnknown);          // 61 + 4 > 64
    EXPECT_EQ(Classify(Mz(0xFFFFFFF0u)), etUnknown); // would wrap in 32 bits
    EXPECT_EQ(Classify(Mz(0xFFFFFFFFu)), etUnknown);
    std::string pe = Pe(2);
    Put32(pe, 0x3C, 0xFFFFFFE8u); // + 24 and + 248 wrap past zero in 32 bits
    EXPECT_EQ(Classify(pe), etUnknown);
}

TEST_F(ExeTypeFiles, NonZeroOffsetToSomethingElseIsUnknownNotDos) {
    std::string b = Mz(0x40);
    b += "XX\0\0";
    EXPECT_EQ(Classify(b), etUnknown);
}

TEST_F(ExeTypeFiles, NeIsWin16WhateverFollows) {
    std::string b = Mz(0x40);
    b += "NE\xFF\xFF";
    EXPECT_EQ(Classify(b), etWin16);
}

TEST_F(ExeTypeFiles, PeNeedsTwoZeroBytes) {
    std::string b = Pe(2);
    b[0x82] = 'x';
    EXPECT_EQ(Classify(b), etUnknown);
    EXPECT_EQ(Classify(Pe(2)), etWinGui);
}

TEST_F(ExeTypeFiles, OptionalHeaderSizeAndLength) {
    EXPECT_EQ(Classify(Pe(3, 95)), etUnknown);
    EXPECT_EQ(Classify(Pe(3, 96)), etWinConsole);
    EXPECT_EQ(Classify(Pe(3, 224, 0x80 + 247)), etUnknown); // ends before new header + 248
    EXPECT_EQ(Classify(Pe(3, 224, 0x80 + 20)), etUnknown);  // ends inside the COFF header
}

TEST_F(ExeTypeFiles, Subsystems) {
    EXPECT_EQ(Classify(Pe(1)), etUnknown);
    EXPECT_EQ(Classify(Pe(2)), etWinGui);
    EXPECT_EQ(Classify(Pe(3)), etWinConsole);
    EXPECT_EQ(Classify(Pe(7)), etWinConsole);
    EXPECT_EQ(Classify(Pe(9)), etUnknown);
}

TEST_F(ExeTypeFiles, MissingFileFolderAndLockedFile) {
    TExeType kind = etWinGui;
    EXPECT_EQ(TypeOf(dir / "nosuch.exe", kind), erNotFound);
    EXPECT_EQ(kind, etUnknown);
    EXPECT_EQ(TypeOf(dir / "nosuchdir\\x.exe", kind), erReadError);

    const std::string path = dir / "held.exe";
    ASSERT_TRUE(WriteFileBytes(path, Pe(2)));
    TFileHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer.Valid());
    EXPECT_EQ(TypeOf(path, kind), erReadError);
    writer.Reset();
    EXPECT_EQ(TypeOf(path, kind), erOk);
    EXPECT_EQ(kind, etWinGui);
}

TEST(ExeTypeReal, ProgramsOfThisBuildAndOfWine) {
    char win[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(win, MAX_PATH), 0u);
    TExeType kind = etUnknown;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_EQ(TypeOf(self, kind), erOk);
    EXPECT_EQ(kind, etWinConsole); // this test program

    EXPECT_EQ(TypeOf(std::string(win) + "\\system32\\notepad.exe", kind), erOk);
    EXPECT_EQ(kind, etWinGui);
    EXPECT_EQ(TypeOf(std::string(win) + "\\system32\\cmd.exe", kind), erOk);
    EXPECT_EQ(kind, etWinConsole);

    // The two builds of the helper-command template, when they have been built.
    const std::string gui = DistDir() + "rudi.ex_", con = DistDir() + "dovoz.ex_";
    if (PathExists(gui) && PathExists(con)) {
        EXPECT_EQ(TypeOf(gui, kind), erOk);
        EXPECT_EQ(kind, etWinGui);
        EXPECT_EQ(TypeOf(con, kind), erOk);
        EXPECT_EQ(kind, etWinConsole);
    }
}

} // namespace

// Fuzz target of executable-type detection. Every input is a file's bytes, mostly a mutated MZ,
// NE or PE image: the detection must give the kind and outcome of the documented header rule,
// computed here straight from the bytes, and must read exactly the ranges the rule reads, in
// its order: nothing past the end of the file, nothing beyond the headers.
#include <windows.h>

#include <algorithm>

#include "ExeType.h"
#include "FuzzDriver.h"
#include "ImportSwap.h"
#include "Encoding.h"

namespace {

using fuzz::Below;

const uint32_t kNewHeaderOffset = 0x3C;
const uint32_t kCoffSize = 20;
const uint32_t kOptionalSize = 224;
const uint32_t kMinOptionalSize = 96;
const uint32_t kSubsystemAt = 68;

uint32_t Get16(const std::string& b, uint64_t at) {
    return uint8_t(b[at]) | uint32_t(uint8_t(b[at + 1])) << 8;
}
uint32_t Get32(const std::string& b, uint64_t at) {
    return Get16(b, at) | Get16(b, at + 2) << 16;
}

struct TRange {
    uint64_t from, to; // [from, to)
};

// The rule, straight from the bytes; reads lists the ranges it looks at. Offsets are compared
// without wrapping at 32 bits: an offset near 0xFFFFFFFF lies past the end of any file.
TExeType Rule(const std::string& b, std::vector<TRange>& reads) {
    const uint64_t size = b.size();
    if (size < 2)
        return etUnknown;
    reads.push_back({0, 2});
    if (b[0] != 'M' || b[1] != 'Z' || size < 64)
        return etUnknown;
    reads.push_back({2, 64});
    const uint64_t lfanew = Get32(b, kNewHeaderOffset);
    if (lfanew == 0)
        return etDos;
    if (size < lfanew + 4)
        return etUnknown;
    reads.push_back({lfanew, lfanew + 4});
    if (b[lfanew] == 'N' && b[lfanew + 1] == 'E')
        return etWin16;
    if (b.compare(lfanew, 4, std::string("PE\0\0", 4)) != 0 || size < lfanew + 4 + kCoffSize)
        return etUnknown;
    reads.push_back({lfanew + 4, lfanew + 4 + kCoffSize});
    if (Get16(b, lfanew + 4 + 16) < kMinOptionalSize)
        return etUnknown;
    const uint64_t opt = lfanew + 4 + kCoffSize;
    if (size < opt + kOptionalSize)
        return etUnknown;
    reads.push_back({opt, opt + kOptionalSize});
    switch (Get16(b, opt + kSubsystemAt)) {
    case 2:
        return etWinGui;
    case 3:
    case 7:
        return etWinConsole;
    default:
        return etUnknown;
    }
}

// Every ReadFile of this program goes through its import table; the entry is pointed at
// RecordingReadFile, which notes the range each call asks for. (Byte-range locks would be the
// simpler fence, but Wine does not stop a read of a range another handle has locked.)
using TReadFile = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
TReadFile gReadFile = nullptr;
bool gRecording = false;
std::vector<TRange> gReads;

BOOL WINAPI RecordingReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD got,
                              LPOVERLAPPED overlapped) {
    LARGE_INTEGER zero = {}, at = {};
    if (gRecording && SetFilePointerEx(file, zero, &at, FILE_CURRENT))
        gReads.push_back({uint64_t(at.QuadPart), uint64_t(at.QuadPart) + count});
    return gReadFile(file, buffer, count, got, overlapped);
}

bool RecordReads() {
    if (!gReadFile)
        gReadFile = reinterpret_cast<TReadFile>(
            testing_support::PointImportsAt(reinterpret_cast<const void*>(&ReadFile),
                                            reinterpret_cast<const void*>(&RecordingReadFile)));
    return gReadFile != nullptr;
}

std::string Ranges(const std::vector<TRange>& ranges) {
    std::string s;
    for (const TRange& r : ranges)
        s += " [" + std::to_string(r.from) + "," + std::to_string(r.to) + ")";
    return s.empty() ? " none" : s;
}

std::string Check(const std::string& input) {
    const std::string path = fuzz::WorkDir() + "probe.exe";
    if (!fuzz::WriteBytes(path, input))
        return "cannot write the probe file";
    if (!RecordReads())
        return "cannot watch the reads";
    std::vector<TRange> rule;
    const TExeType want = Rule(input, rule);

    TExeType kind = etWinGui; // the call must reset it
    std::wstring widePath;
    ToWide(path, teCp932, widePath);
    gReads.clear();
    gRecording = true;
    const TExeResult result = GetExeType(widePath, kind);
    gRecording = false;
    if (result != erOk)
        return "outcome " + std::to_string(result) + " for a readable file";
    if (kind != want)
        return "kind " + std::to_string(kind) + ", the rule gives " + std::to_string(want);
    const bool same =
        gReads.size() == rule.size() &&
        std::equal(rule.begin(), rule.end(), gReads.begin(), [](const TRange& a, const TRange& b) {
            return a.from == b.from && a.to == b.to;
        });
    if (!same)
        return "reads" + Ranges(gReads) + ", the rule reads" + Ranges(rule);
    return std::string();
}

void Put16(std::string& b, size_t at, uint32_t v) {
    if (b.size() < at + 2)
        b.resize(at + 2, '\0');
    b[at] = char(v);
    b[at + 1] = char(v >> 8);
}
void Put32(std::string& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// An image with its new header at lfanew: "NE", or "PE" with an optional-header size and a
// subsystem.
std::string Image(uint32_t lfanew, bool ne, uint32_t optSize, uint32_t subsystem) {
    std::string b(64, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, kNewHeaderOffset, lfanew);
    if (lfanew == 0)
        return b + std::string(64, '\x90');
    b.resize(std::max<size_t>(b.size(), lfanew), '\0');
    b.resize(lfanew);
    if (ne) {
        b += "NE";
        b.resize(lfanew + 64, '\x01');
        return b;
    }
    b += std::string("PE\0\0", 4);
    b.resize(lfanew + 4 + kCoffSize + kOptionalSize, '\0');
    Put16(b, lfanew + 4 + 16, optSize);
    Put16(b, lfanew + 4 + kCoffSize + kSubsystemAt, subsystem);
    return b;
}

std::vector<std::string> BuiltinSeeds() {
    std::vector<std::string> seeds;
    seeds.push_back(Image(0, false, 0, 0));
    for (uint32_t lfanew : {0x40u, 0x80u, 0x3Cu, 0x100u}) {
        seeds.push_back(Image(lfanew, true, 0, 0));
        for (uint32_t sub : {2u, 3u, 7u, 1u, 9u})
            seeds.push_back(Image(lfanew, false, 224, sub));
        seeds.push_back(Image(lfanew, false, 96, 3));
        seeds.push_back(Image(lfanew, false, 95, 2));
        seeds.push_back(Image(lfanew, false, 0xF0, 2));
    }
    return seeds;
}

// A length or offset near one of the rule's boundaries for this input.
uint64_t NearBoundary(std::mt19937& rng, const std::string& b) {
    const uint64_t lfanew = b.size() >= 64 ? Get32(b, kNewHeaderOffset) : 0x80;
    const uint64_t marks[] = {0, 2, 64, lfanew, lfanew + 4, lfanew + 24, lfanew + 248, b.size()};
    return marks[Below(rng, sizeof marks / sizeof *marks)] + Below(rng, 5) - 2;
}

std::string Make(std::mt19937& rng, const std::vector<std::string>& seeds) {
    std::string b = seeds[Below(rng, seeds.size())];
    for (size_t n = 1 + Below(rng, 4); n > 0; --n) {
        switch (rng() % 9) {
        case 0: { // e_lfanew at a boundary of the file's size, or anywhere
            if (b.size() < 64)
                break;
            const uint32_t size = uint32_t(b.size());
            const uint32_t picks[] = {
                size - 4,   size - 24,  size - 248,      size,       0,          1,
                0x3C,       0x40,       0xFFFFFFFF,      0xFFFFFFFC, 0x7FFFFFFF, 0x80000000,
                0xFFFFFFE8, 0xFFFFFF08, uint32_t(rng()), size / 2};
            Put32(b, kNewHeaderOffset,
                  picks[Below(rng, sizeof picks / sizeof *picks)] + uint32_t(Below(rng, 5)) - 2);
            break;
        }
        case 1: // cut at a boundary
            b.resize(std::min<uint64_t>(b.size(), NearBoundary(rng, b)));
            break;
        case 2: // cut anywhere
            b.resize(Below(rng, b.size() + 1));
            break;
        case 3: { // the optional-header size or the subsystem
            if (b.size() < 64)
                break;
            const uint64_t at = Get32(b, kNewHeaderOffset) + (rng() % 2 ? 20 : 24 + kSubsystemAt);
            const uint32_t values[] = {0, 1, 2, 3, 7, 9, 95, 96, 97, 224, 0xFFFF, uint32_t(rng())};
            if (at + 2 <= b.size())
                Put16(b, at, values[Below(rng, sizeof values / sizeof *values)]);
            break;
        }
        case 4: { // a signature byte
            const uint64_t lfanew = b.size() >= 64 ? Get32(b, kNewHeaderOffset) : 0;
            const uint64_t at = rng() % 2 ? Below(rng, 2) : lfanew + Below(rng, 4);
            const char values[] = {'M', 'Z', 'N', 'E', 'P', '\0', 'x'};
            if (at < b.size())
                b[at] = values[Below(rng, sizeof values)];
            break;
        }
        case 5: // grow
            b.append(Below(rng, 300), char(rng()));
            b.resize(std::min<size_t>(b.size(), 2048));
            break;
        case 6: // grow to a boundary
            b.resize(std::max<uint64_t>(b.size(), std::min<uint64_t>(NearBoundary(rng, b), 2048)),
                     '\0');
            break;
        default: // any byte
            if (!b.empty())
                b[Below(rng, b.size())] = char(rng());
        }
    }
    return b;
}

} // namespace

int main(int argc, char** argv) {
    return fuzz::Main(argc, argv, {"exetype", Make, Check, BuiltinSeeds});
}

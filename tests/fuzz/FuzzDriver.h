// An in-process fuzz driver: feeds generated and mutated inputs to one check, reports each
// failing input as hex so it can be replayed, and turns a crash or a hang into such a report.
//
//   <target>.exe [--inputs N] [--seconds S] [--seed N] [--corpus DIR] [--work DIR]
//                [--replay HEX]
//
// --work names the folder for the checks' files (default: beside the program); a folder in
// memory spares the disk on long runs.
// Without --inputs or --seconds it runs 10,000 inputs. The summary line gives the inputs run,
// the time taken and the failures; the exit code is 0 only when nothing failed.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace fuzz {

struct TTarget {
    const char* name;
    // A new input, made from scratch or by mutating a seed (seeds is never empty).
    std::string (*make)(std::mt19937& rng, const std::vector<std::string>& seeds);
    // Checks one input; empty when every invariant holds, else what broke.
    std::string (*check)(const std::string& input);
    // Inputs to mutate when no corpus folder is given or it holds no file.
    std::vector<std::string> (*builtinSeeds)();
};

int Main(int argc, char** argv, const TTarget& target);

// A scratch folder of the running target, ending in "\", where checks put their files.
const std::string& WorkDir();
bool WriteBytes(const std::string& path, const std::string& bytes);

std::string Hex(const std::string& bytes);

// Mutation helpers shared by the targets.
size_t Below(std::mt19937& rng, size_t n); // 0 .. n-1; 0 for n == 0
void InsertAt(std::mt19937& rng, std::string& s, const std::string& piece);
void DeleteRange(std::mt19937& rng, std::string& s);
void CopyRange(std::mt19937& rng, std::string& s);
void SpliceWith(std::mt19937& rng, std::string& s, const std::string& other);

} // namespace fuzz

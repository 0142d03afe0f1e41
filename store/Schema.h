// What "alias.ini" holds and where it is found. Both programs take every key name and every rule
// for reading a value from here, so they cannot disagree.
#pragma once

#include <string>
#include <vector>

#include "Encoding.h"
#include "IniSyntax.h"

inline constexpr char kDefinitionFileName[] = "alias.ini";

// The reserved section: settings for every alias, never an alias itself.
inline constexpr char kReservedSection[] = "alias";
// A key of the reserved section alone: the editor that /edit runs.
inline constexpr char kKeyEditor[] = "editor";

// The keys of an alias's section.
inline constexpr char kKeyType[] = "type";
inline constexpr char kKeyApp[] = "app";
inline constexpr char kKeyParam[] = "param";
inline constexpr char kKeyDir[] = "dir";
inline constexpr char kEnvPrefix[] = "env:"; // env:NAME=value, one environment variable each
// The interpreter that an alias names for its own script: a command with its options. The key is
// stored only when it is set.
inline constexpr char kKeyInterpreter[] = "interpreter";
// The helper's switches.
inline constexpr char kKeyJoinErrorOutput[] = "stderr2stdout";
inline constexpr char kKeyKillTarget[] = "killtarget";
inline constexpr char kKeyWait[] = "wait";
// When on, "param" is a template that says where the caller's arguments go.
inline constexpr char kKeyPlaceArgs[] = "placeargs";
inline constexpr const char* kSwitchKeys[] = {kKeyJoinErrorOutput, kKeyKillTarget, kKeyWait,
                                              kKeyPlaceArgs};

inline constexpr char kTypeWindowed[] = "GUI";
inline constexpr char kTypeConsole[] = "console";
inline constexpr char kTypeDos[] = "DOS";

// Returns the "alias.ini" in exeDir when that is a file, otherwise the one in winDir when that is a
// file, and otherwise the one in exeDir, which is where /edit creates it.
std::string FindDefinitionFileIn(const std::string& exeDir, const std::string& winDir);

bool IsReservedName(const std::string& name);

// What a hand-edited "type" value decides, each by the rule it has always been read with. The
// interpreter runs the alias when "dos" appears anywhere in the value (any ASCII case). The
// windowed helper serves it when the value equals "GUI", ignoring case. The list's marker comes
// from whichever of "gui", "console" and "dos" the value holds, looked for in that order.
bool RunsThroughInterpreter(const std::string& type, TTextEncoding encoding);
bool TakesWindowedHelper(const std::string& type);
const char* ListMarker(const std::string& type, TTextEncoding encoding);

// Whether a switch is on. The alias's own value decides when it is "on" or "off" (any ASCII case);
// otherwise the switch is on only when the reserved section's value is "on".
bool IsSwitchOn(const std::string& own, const std::string& fallback);

// Reads an environment entry: a key that starts with "env:" (any ASCII case), followed by the
// variable's name. name gets that name, trimmed, and value the value without trailing blanks.
// Returns false for any other key, and for an empty name.
bool ReadEnvEntry(const std::string& key, const std::string& itemValue, std::string& name,
                  std::string& value);
// Returns the "env:" entries among a section's key lines in file order, each as its variable's name
// and value. When several lines have the same key (by SameKey), only the first one counts, just as
// the model keeps only the first when it loads the file. The helper applies these entries, and
// /check tries them.
std::vector<TKeyLine> EnvEntries(const std::vector<TKeyLine>& keyLines, TTextEncoding encoding);

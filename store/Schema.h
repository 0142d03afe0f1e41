// What "alias.ini" holds and where it is; both programs take every key name and rule from here.
#pragma once

#include <string>
#include <vector>

#include "Encoding.h"
#include "IniSyntax.h"

inline constexpr char kDefinitionFileName[] = "alias.ini";

// The reserved section: settings for every alias, never an alias itself.
inline constexpr char kReservedSection[] = "alias";
inline constexpr char kKeyEditor[] = "editor"; // of the reserved section: the command of /edit

// The keys of an alias's section.
inline constexpr char kKeyType[] = "type";
inline constexpr char kKeyApp[] = "app";
inline constexpr char kKeyParam[] = "param";
inline constexpr char kKeyDir[] = "dir";
inline constexpr char kEnvPrefix[] = "env:"; // env:NAME=value, one environment variable each
// The alias's own interpreter of its script, a command with options; stored only when set.
inline constexpr char kKeyInterpreter[] = "interpreter";
// The helper's switches.
inline constexpr char kKeyJoinErrorOutput[] = "stderr2stdout";
inline constexpr char kKeyKillTarget[] = "killtarget";
inline constexpr char kKeyWait[] = "wait";
inline constexpr char kKeyPlaceArgs[] = "placeargs"; // "param" is a template for the caller's text
inline constexpr const char* kSwitchKeys[] = {kKeyJoinErrorOutput, kKeyKillTarget, kKeyWait,
                                              kKeyPlaceArgs};

inline constexpr char kTypeWindowed[] = "GUI";
inline constexpr char kTypeConsole[] = "console";
inline constexpr char kTypeDos[] = "DOS";

// exeDir's "alias.ini" when it is a file; else winDir's when that is; else exeDir's (where /edit
// creates it).
std::string FindDefinitionFileIn(const std::string& exeDir, const std::string& winDir);

bool IsReservedName(const std::string& name);

// What a hand-edited "type" decides, each rule as it has always been read: the interpreter runs it
// ("dos" anywhere), the windowed helper ("GUI"), the list's marker ("gui", "console", "dos").
bool RunsThroughInterpreter(const std::string& type, TTextEncoding encoding);
bool TakesWindowedHelper(const std::string& type);
const char* ListMarker(const std::string& type, TTextEncoding encoding);

// The alias's "on" or "off" (any ASCII case) decides, else the reserved section's "on".
bool IsSwitchOn(const std::string& own, const std::string& fallback);

// A key starting with "env:" (any ASCII case) and a name after it, trimmed.
bool ReadEnvEntry(const std::string& key, const std::string& itemValue, std::string& name,
                  std::string& value);
// The "env:" entries of a section's key lines in file order, each its name and value: of lines of
// one key (SameKey) the first alone, as a load of the model keeps it. The helper applies these,
// and /check tries them.
std::vector<TKeyLine> EnvEntries(const std::vector<TKeyLine>& keyLines, TTextEncoding encoding);

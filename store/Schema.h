// What "alias.ini" holds and where it is: the file's name and where it is looked for, the keys of
// an alias's section, the reserved section, the rules that read hand-edited values. Both programs
// take every key name and rule from here.
#pragma once

#include <string>

#include "Encoding.h"

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
// The helper's switches: the alias's own "on" or "off" decides, else the reserved section's.
inline constexpr char kKeyJoinErrorOutput[] = "stderr2stdout";
inline constexpr char kKeyKillTarget[] = "killtarget";
inline constexpr char kKeyWait[] = "wait";
inline constexpr char kKeyPlaceArgs[] = "placeargs"; // "param" is a template for the caller's text
inline constexpr const char* kSwitchKeys[] = {kKeyJoinErrorOutput, kKeyKillTarget, kKeyWait,
                                              kKeyPlaceArgs};

// The "type" values registration writes.
inline constexpr char kTypeWindowed[] = "GUI";
inline constexpr char kTypeConsole[] = "console";
inline constexpr char kTypeDos[] = "DOS";

// exeDir's "alias.ini" when it is a file; else winDir's when that is; else exeDir's (where /edit
// creates it).
std::string FindDefinitionFileIn(const std::string& exeDir, const std::string& winDir);

// "alias", compared as a section name.
bool IsReservedName(const std::string& name);

// What a hand-edited "type" decides, each rule as it has always been read, in the file's
// encoding: the interpreter runs the command ("dos" anywhere, any ASCII case); the helper is the
// windowed build ("GUI", any case); the list's marker ("gui", "console" or "dos" anywhere, any
// ASCII case, the first that matches).
bool RunsThroughInterpreter(const std::string& type, TTextEncoding encoding);
bool TakesWindowedHelper(const std::string& type);
const char* ListMarker(const std::string& type, TTextEncoding encoding);

// "on" or "off" in any ASCII case decides; anything else defers to the reserved section's value,
// where only "on" turns it on.
bool IsSwitchOn(const std::string& own, const std::string& fallback);

// An "env:" entry: a key starting with "env:" in any ASCII case; name is the rest of the key,
// trimmed, value the item's without trailing blanks. False for other keys and an empty name,
// which both programs skip.
bool ReadEnvEntry(const std::string& key, const std::string& itemValue, std::string& name,
                  std::string& value);

// What "alias.ini" holds and where it is: the file's name and the folders it is looked for in,
// the keys of an alias's section, the reserved section, and the rules that read hand-edited
// values. Both programs take every key name and rule from here.
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

// The "type" values that registration writes.
inline constexpr char kTypeWindowed[] = "GUI";
inline constexpr char kTypeConsole[] = "console";
inline constexpr char kTypeDos[] = "DOS";

// exeDir + "alias.ini" when that is a file; else winDir + "alias.ini" when that is a file;
// else exeDir + "alias.ini" (where /edit creates it).
std::string FindDefinitionFileIn(const std::string& exeDir, const std::string& winDir);

// The reserved section's name, "alias", in any case (as a section name compares).
bool IsReservedName(const std::string& name);

// What a hand-edited "type" value decides, each rule as it has always been read, the value's
// bytes read in the file's encoding:
// the helper runs the command through the interpreter: "dos" anywhere, in any ASCII case;
bool RunsThroughInterpreter(const std::string& type, TTextEncoding encoding);
// the helper is the windowed build: the value is "GUI", in any case;
bool TakesWindowedHelper(const std::string& type);
// the marker of the list: "gui", "console" or "dos" anywhere, in any ASCII case, first match.
const char* ListMarker(const std::string& type, TTextEncoding encoding);

// A switch's value: "on" or "off" in any ASCII case decides; anything else defers to the
// reserved section's value, where only "on" turns it on.
bool IsSwitchOn(const std::string& own, const std::string& fallback);

// An alias's "env:" entry: a key that starts with "env:" in any ASCII case. name is the rest of
// the key, trimmed, and value the item's value without trailing blanks. False for every other
// key and for an entry whose name is empty, which both programs skip.
bool ReadEnvEntry(const std::string& key, const std::string& itemValue, std::string& name,
                  std::string& value);

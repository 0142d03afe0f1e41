// What "alias.ini" holds and where it is: the file's name and the folders it is looked for in,
// the keys of an alias's section, the reserved section, and the rules that read hand-edited
// values. Both programs take every key name and rule from here.
#pragma once

#include <string>

#include "Encoding.h"

constexpr char kDefinitionFileName[] = "alias.ini";

// The reserved section: settings for every alias, never an alias itself.
constexpr char kReservedSection[] = "alias";
constexpr char kKeyEditor[] = "editor"; // of the reserved section: the command of /edit

// The keys of an alias's section.
constexpr char kKeyType[] = "type";
constexpr char kKeyApp[] = "app";
constexpr char kKeyParam[] = "param";
constexpr char kKeyDir[] = "dir";
constexpr char kEnvPrefix[] = "env:"; // env:NAME=value, one environment variable each
// The helper's switches: the alias's own "on" or "off" decides, else the reserved section's.
constexpr char kKeyJoinErrorOutput[] = "stderr2stdout";
constexpr char kKeyKillTarget[] = "killtarget";
constexpr char kKeyWait[] = "wait";
constexpr char kKeyPlaceArgs[] = "placeargs"; // "param" is a template for the caller's text
constexpr const char* kSwitchKeys[] = {kKeyJoinErrorOutput, kKeyKillTarget, kKeyWait,
                                       kKeyPlaceArgs};

// The "type" values that registration writes.
constexpr char kTypeWindowed[] = "GUI";
constexpr char kTypeConsole[] = "console";
constexpr char kTypeDos[] = "DOS";

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

// stub/ holds the helper command, orvex. Its work runs in four stages: start-up, reading the
// definition, composing the launch, and the launch itself. Each stage is a function that takes the
// values of the stages before it and returns one value of its own; nothing is kept in globals.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "AliasSection.h"
#include "Encoding.h"
#include "Launching.h"
#include "Schema.h"

// What the helper knows before it reads "alias.ini".
struct TStartup {
    std::string Error;        // set when the program folder cannot be named in code page 932
    std::wstring ComSpecPath; // the interpreter of "dos" aliases, found before "env:" entries apply
    std::wstring SelfPath;    // the helper's own file by its long name, never started as the target
    std::string ExePath;
    std::string ExeDir; // ends in its separator
    std::string AliasName;
    std::string WinDir;            // ends in "\"; empty when the system cannot tell
    std::string DefinitionFile;    // "alias.ini" beside the helper, or else the one in WinDir
    std::wstring_view CommandLine; // the helper's own command line, as its caller wrote it
};

// The alias's definition, with its texts in the file's encoding. A text is empty when its key is
// missing.
struct TDefinition {
    bool Unreadable = false; // "alias.ini" is there but cannot be read
    TTextEncoding Encoding = teCp932;
    std::string App;
    std::string Type;
    std::string Param;
    std::string Dir;
    std::string Interpreter;
    std::vector<TKeyLine> Env; // the "env:" entries, each its variable's name and value as written
    // The switches, each decided by IsSwitchOn.
    bool JoinErrorOutput = false; // "stderr2stdout"
    bool KillTarget = false;      // "killtarget"
    bool Wait = false;            // "wait", which only the windowed build reads
    bool PlaceArgs = false;       // "placeargs"
};

// What to start. When Error is not empty, nothing is started, and Error is the report that ends
// the run instead. The program as found is kept, so that a report about a file the system cannot
// start can name it.
struct TComposed : TComposedLine {
    std::string Error;
    std::wstring WorkDir; // empty when the target runs in the helper's own current folder
};

// How the target is started and waited for.
struct TTargetHandling {
    bool JoinErrorOutput = false; // the target's standard error goes to our standard output
    bool Wait = false;            // wait for the target and hand on its exit code
    bool KillWithHelper = false;  // the target and all it starts end when the helper ends
};

struct TLaunchOutcome {
    bool Started = false;
    DWORD Code = 0;    // the target's exit code (0 when not waiting), or the start's error
    std::string Error; // set when the target started but a step after the start failed
};

TStartup ReadStartup();
TDefinition ReadDefinition(const TStartup& start);
TComposed ComposeLaunch(const TStartup& start, const TDefinition& def);
TLaunchOutcome Launch(const TComposed& what, const TTargetHandling& how);

// What each build does its own way, in ConsoleBuild.cpp or WindowedBuild.cpp.
void ReportError(const std::string& text);
std::string StartFailureText(const std::wstring& commandLine, DWORD error);
TTargetHandling TargetHandling(const TDefinition& def);
bool WindowedBuild();
// The console build stands in for its target at the prompt. Ctrl+C is left to the target, and the
// helper must not end on it while the target still runs.
void TakeOverBreaks();

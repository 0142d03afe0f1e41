#include "BuiltinNames.h"

#include <cstring>

#include "Messages.h"
#include "Names.h"

namespace {

// The commands that registration has always run through the interpreter without a search, old
// MS-DOS commands included.
const char* const kRegistrationBuiltins[] = {
    "CALL",  "CHCP",   "RENAME", "REN",  "ERASE", "DEL",   "DIR",    "TYPE",  "REM", "COPY",
    "DATE",  "TIME",   "VER",    "VOL",  "CD",    "CHDIR", "MD",     "MKDIR", "RD",  "RMDIR",
    "BREAK", "VERIFY", "PATH",   "CTTY", "ECHO",  "LOCK",  "UNLOCK", "CLS"};

// cmd.exe's internal commands as its own "help" lists them on Windows 10 and 11, with the ones it
// leaves out of that list (DPATH, KEYS, MKLINK) but runs itself as well.
const char* const kPromptCommands[] = {
    "ASSOC",    "BREAK",  "CALL",  "CD",   "CHDIR",    "CLS",    "COLOR",  "COPY",   "DATE",
    "DEL",      "DIR",    "DPATH", "ECHO", "ENDLOCAL", "ERASE",  "EXIT",   "FOR",    "FTYPE",
    "GOTO",     "IF",     "KEYS",  "MD",   "MKDIR",    "MKLINK", "MOVE",   "PATH",   "PAUSE",
    "POPD",     "PROMPT", "PUSHD", "RD",   "REM",      "REN",    "RENAME", "RMDIR",  "SET",
    "SETLOCAL", "SHIFT",  "START", "TIME", "TITLE",    "TYPE",   "VER",    "VERIFY", "VOL"};

// Get-Alias in a session without a profile, as published for Windows PowerShell 5.1 (5.1.19041)
// and PowerShell 7 on Windows (7.0 to 7.3): the aliases of both, then those of 5.1 alone, then
// those of 7 alone.
const char* const kPowerShellBoth[] = {
    "%",       "?",     "ac",    "cat",  "cd",      "chdir",   "clc",   "clear", "clhy",  "cli",
    "clp",     "cls",   "clv",   "cnsn", "compare", "copy",    "cp",    "cpi",   "cpp",   "cvpa",
    "dbp",     "del",   "diff",  "dir",  "dnsn",    "ebp",     "echo",  "epal",  "epcsv", "erase",
    "etsn",    "exsn",  "fc",    "fhx",  "fl",      "foreach", "ft",    "fw",    "gal",   "gbp",
    "gc",      "gci",   "gcm",   "gcs",  "gdr",     "ghy",     "gi",    "gjb",   "gl",    "gm",
    "gmo",     "gp",    "gps",   "gpv",  "group",   "gsn",     "gsv",   "gu",    "gv",    "h",
    "history", "icm",   "iex",   "ihy",  "ii",      "ipal",    "ipcsv", "ipmo",  "irm",   "iwr",
    "kill",    "ls",    "man",   "md",   "measure", "mi",      "mount", "move",  "mp",    "mv",
    "nal",     "ndr",   "ni",    "nmo",  "nsn",     "nv",      "ogv",   "oh",    "popd",  "ps",
    "pushd",   "pwd",   "r",     "rbp",  "rcjb",    "rcsn",    "rd",    "rdr",   "ren",   "ri",
    "rjb",     "rm",    "rmdir", "rmo",  "rni",     "rnp",     "rp",    "rsn",   "rv",    "rvpa",
    "sajb",    "sal",   "saps",  "sasv", "sbp",     "select",  "set",   "shcm",  "si",    "sl",
    "sleep",   "sls",   "sort",  "sp",   "spjb",    "spps",    "spsv",  "start", "sv",    "tee",
    "type",    "where", "wjb",   "write"};
const char* const kPowerShell51[] = {"asnp", "cfs",  "curl", "epsn",  "gsnp", "gwmi", "ipsn",
                                     "ise",  "iwmi", "lp",   "npssc", "rsnp", "rujb", "rwmi",
                                     "sc",   "sujb", "swmi", "trcm",  "wget"};
const char* const kPowerShell7[] = {"gcb", "gerr", "scb"};

// Names match in any case, as both shells take them.
template <size_t N> bool Holds(const char* const (&list)[N], const std::string& name) {
    const std::string upper = UpperLocale(name);
    for (const char* entry : list)
        if (UpperLocale(entry) == upper)
            return true;
    return false;
}

} // namespace

bool IsRegistrationBuiltin(const std::string& program) {
    return Holds(kRegistrationBuiltins, program);
}

bool IsPromptCommand(const std::string& name) {
    return Holds(kPromptCommands, name);
}

const char* PowerShellAliasOf(const std::string& name) {
    return Holds(kPowerShellBoth, name) ? kBothReleases
           : Holds(kPowerShell51, name) ? "5.1"
           : Holds(kPowerShell7, name)  ? "7"
                                        : nullptr;
}

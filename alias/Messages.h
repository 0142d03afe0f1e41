// The manager's reports, each text written once. Paths and names are put in as they are.
#pragma once

#include <cstddef>
#include <string>

#include "Encoding.h"

constexpr char kBadParameter[] = "パラメタに誤りがあります。";
constexpr char kMissingParameter[] = "パラメタが不足しています。";
constexpr char kProgramNotFound[] = "指定されたアプリケーションが見つかりません。";

std::string NameRefused(const std::string& name);
std::string NotCodePage932(const std::string& shown);
// What the definition file's encoding cannot hold; for a code page 932 file the report says that
// a file saved as UTF-8 can.
std::string NotInEncoding(const std::string& shown, TTextEncoding encoding);

// What keeps a command from the definition file.
enum TDefinitionFileFailure : int {
    dfBusy = 0,
    dfMissing = 1,
    dfUnreadable = 2,
    dfNotWritten = 3,
    dfNotUtf8 = 4,         // marked as UTF-8, but holding bytes that are no UTF-8
    dfWouldReadAsUtf8 = 5, // code page 932 text that, saved, would read as UTF-8
};
std::string DefinitionFileFailed(const std::string& path, TDefinitionFileFailure what);

std::string TemplateMissing(const std::string& path);
std::string HelperNameTaken(const std::string& path);
// What went wrong with one helper command file.
enum THelperFailure : int { hfCreate = 0, hfDelete = 1, hfUpdate = 2, hfRestore = 3 };
std::string HelperFailed(const std::string& path, THelperFailure what);

std::string EditorFailed(const std::string& editor);

// What alias /check finds, each line naming the alias first.
// A value the helper would refuse: "<name> の <key>" and the reason (kValueBadText and the like).
std::string ValueRefused(const std::string& name, const std::string& key, const char* why);
std::string NoProgramGiven(const std::string& name);
std::string ProgramMissing(const std::string& name, const std::string& app);
std::string FolderMissing(const std::string& name, const std::string& dir);
// The helper's command line, without caller text, is longer than the system takes.
std::string CommandLineTooLong(const std::string& name, size_t length);
// What is wrong with an alias's helper file, or with a helper file of no alias.
enum THelperProblem : int {
    hpMissing = 0,
    hpNotHelper = 1,
    hpOtherKind = 2,
    hpOldTemplate = 3,
    hpOrphan = 4,
    hpDamaged = 5
};
std::string HelperProblem(const std::string& name, const std::string& path, THelperProblem what);
std::string ShadowedBy(const std::string& name, const std::string& program);
std::string FolderNotOnPath(const std::string& dir);

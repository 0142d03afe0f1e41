// The manager's reports, each text written once. Paths and names are put in as they are.
#pragma once

#include <string>

constexpr char kBadParameter[] = "パラメタに誤りがあります。";
constexpr char kMissingParameter[] = "パラメタが不足しています。";
constexpr char kProgramNotFound[] = "指定されたアプリケーションが見つかりません。";

std::string NameRefused(const std::string& name);
std::string AliasNotDefined(const std::string& name);
std::string NotCodePage932(const std::string& shown);

// What keeps a command from the definition file.
enum TDefinitionFileFailure : int { dfBusy = 0, dfMissing = 1, dfUnreadable = 2, dfNotWritten = 3 };
std::string DefinitionFileFailed(const std::string& path, TDefinitionFileFailure what);

std::string TemplateMissing(const std::string& path);
std::string HelperNameTaken(const std::string& path);
// What went wrong with one helper command file.
enum THelperFailure : int { hfCreate = 0, hfDelete = 1, hfUpdate = 2, hfRestore = 3 };
std::string HelperFailed(const std::string& path, THelperFailure what);

std::string EditorFailed(const std::string& editor);

// The manager's reports, each text written once. Paths and names are put in as they are.
#pragma once

#include <string>

#include "Encoding.h"

constexpr char kBadParameter[] = "パラメタに誤りがあります。";
constexpr char kMissingParameter[] = "パラメタが不足しています。";
constexpr char kProgramNotFound[] = "指定されたアプリケーションが見つかりません。";

std::string NameRefused(const std::string& name);
std::string AliasNotDefined(const std::string& name);
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

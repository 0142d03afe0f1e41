// What the helper says, in the words the manager also uses where it reports the same thing
// (alias /check speaks of a start before any is made). The manager's other texts are its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Why a stored value cannot be handed on (ValueReport).
constexpr const char* kValueBadText = " の値に使えない文字があります。";
constexpr const char* kValueTooLong = " を展開した値が長すぎます。";
constexpr const char* kValueNotSet = " を設定できません。";

std::string ValueReport(std::string_view alias, std::string_view key, std::string_view why);
std::string LineTooLongReport(size_t length);
std::string ProgramNotFoundReport(std::string_view program);
std::string FolderNotFoundReport(std::string_view dir);
std::string NotDefinedReport(std::string_view alias);
std::string DefinitionUnreadableReport(std::string_view path);
std::string InterpreterMissingReport(std::string_view alias, std::string_view script,
                                     std::string_view interpreters);
std::string ArgumentRefusedReport(std::string_view alias, std::string_view argument);
// Of a program the system cannot start (a file that is no program) that is no script either.
std::string NotRunnableReport(std::string_view alias, std::string_view program);
// The folder of the running program has a name that code page 932 cannot hold, so the file calls,
// which take that code page, would work on another path.
std::string FolderNotCp932Report(const std::wstring& program);

// The helper's start failure: the console build puts the command line after kProgram, the
// windowed one on a line of its own after the code, since a message box may be narrow.
constexpr std::string_view kProgram = "プログラム";
constexpr std::string_view kStartFailed = "の起動に失敗しました。";
// A step after the start that failed; the target may still run.
constexpr char kCannotResume[] = "プログラムを再開できません。";
constexpr char kCannotWaitForEnd[] = "プログラムの終了を待てません。";
// The title of the windowed helper's message box.
constexpr char kErrorBoxTitle[] = "Orvex エラー";

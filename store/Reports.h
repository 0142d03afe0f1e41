// The messages that the helper shows. The manager uses the same words wherever it reports the same
// thing, because alias /check describes what a start would meet before any start is made. The
// manager's other messages are its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The reasons, passed to ValueReport, why a stored value cannot be handed on to the program.
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
// For a file that the system cannot start, because it is not a program, and that is not a script
// either.
std::string NotRunnableReport(std::string_view alias, std::string_view program);
// The folder of the running program has a name that code page 932 cannot hold, so the file calls,
// which take that code page, would work on another path.
std::string FolderNotCp932Report(const std::wstring& program);

// The words of the helper's report that the start failed. The console helper puts the command line
// after kProgram. The windowed helper puts it on a line of its own after the error code, because a
// message box may be narrow.
constexpr std::string_view kProgram = "プログラム";
constexpr std::string_view kStartFailed = "の起動に失敗しました。";
// Reports of a step after the start that failed. The program has been started and may still be
// running.
constexpr char kCannotResume[] = "プログラムを再開できません。";
constexpr char kCannotWaitForEnd[] = "プログラムの終了を待てません。";
// A chain of helpers that reached its limit, after the alias's name: the variable that counts the
// depth and the limit, both as string literals, so the helper puts the text together at compile
// time and needs no code to write the number.
#define CHAIN_LIMIT_REPORT(variable, limit)                                                        \
    " の呼び出しが循環しています (" variable " が " limit " に達しました)。"
// The title of the windowed helper's message box.
constexpr char kErrorBoxTitle[] = "Orvex エラー";

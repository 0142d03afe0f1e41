#include "Reports.h"

#include <cstdint>

#include "Encoding.h"
#include "Files.h"
#include "Format.h"
#include "Text.h"

using namespace std::string_view_literals;

std::string ValueReport(std::string_view alias, std::string_view key, std::string_view why) {
    return Join({alias, " の "sv, key, why});
}

std::string LineTooLongReport(size_t length) {
    return Join({"コマンド ラインが長すぎます ("sv, Decimal(uint32_t(length)), " 文字)。"sv});
}

std::string ProgramNotFoundReport(std::string_view program) {
    return Join({"プログラム "sv, program, " が見つかりません。"sv});
}

std::string FolderNotFoundReport(std::string_view dir) {
    return Join({"ディレクトリ "sv, dir, " が見つかりません。"sv});
}

std::string NotDefinedReport(std::string_view alias) {
    return Join({alias, " の定義が見つかりません。"sv});
}

std::string DefinitionUnreadableReport(std::string_view path) {
    return Join({"定義ファイル"sv, path, "を読み込めません。"sv});
}

std::string InterpreterMissingReport(std::string_view alias, std::string_view script,
                                     std::string_view interpreters) {
    return Join({alias, " のスクリプト "sv, script, " を実行するインタプリタ "sv, interpreters,
                 " が見つかりません。"sv});
}

std::string ArgumentRefusedReport(std::string_view alias, std::string_view argument) {
    return Join({alias, " には引数 "sv, argument,
                 " をバッチ ファイルの引数として安全に渡せません。何も起動しません。"sv});
}

std::string NotRunnableReport(std::string_view alias, std::string_view program) {
    return Join({alias, " のプログラム "sv, program,
                 " はプログラムでも、alias の知っているスクリプトでもありません。"sv});
}

std::string FolderNotCp932Report(const std::wstring& program) {
    return Join(
        {"フォルダー "sv, ShownCp932(DirectoryPart(program)),
         " の名前にはコード ページ 932 で表せない文字があります。ほかのフォルダーに置いてください。"sv});
}

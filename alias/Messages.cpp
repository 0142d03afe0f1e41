#include "Messages.h"

#include "Reports.h"

std::string NameRefused(const std::string& name) {
    return name + " の名前で登録することはできません。";
}

std::string NotCodePage932(const std::string& shown) {
    return shown + " にはコード ページ 932 で表せない文字があります。";
}

std::string NotInEncoding(const std::string& shown, TTextEncoding encoding) {
    return encoding == teCp932
               ? NotCodePage932(shown) + "UTF-8 で保存した定義ファイルなら使えます。"
               : shown + " には UTF-8 で表せない文字があります。";
}

std::string DefinitionFileFailed(const std::string& path, TDefinitionFileFailure what) {
    // The helper reports this one too, so both take the words from the same place.
    if (what == dfUnreadable)
        return DefinitionUnreadableReport(path);
    static const char* const kWhat[] = {
        "は別の alias が使用中です。",
        "がありません。alias /edit で作成してください。",
        nullptr,
        "に書き込めません。",
        "は UTF-8 と記されていますが、UTF-8 でない文字を含んでいます。",
        "はコード ページ 932 のままでは保存できません。保存すると UTF-8 "
        "と読まれてしまう文字があります。",
        "は保存すると先頭がバイト順マークと読まれて内容が変わるため、保存できません。"};
    return "定義ファイル" + path + kWhat[what];
}

std::string ProgramUnreadable(const std::string& path) {
    return "プログラム" + path + "を読み込めません。";
}

std::string TemplateMissing(const std::string& path) {
    return "ヘルパ コマンド テンプレート" + path + "が見つかりません。";
}

std::string HelperNameTaken(const std::string& path) {
    return "作成するヘルパ コマンド" + path + "と同名のファイルが存在します。";
}

std::string HelperFailed(const std::string& path, THelperFailure what) {
    static const char* const kWhat[] = {"の作成に失敗しました。", "の削除に失敗しました。",
                                        "の更新に失敗しました。", "の復元に失敗しました。"};
    return "ヘルパ コマンド" + path + kWhat[what];
}

std::string EditorFailed(const std::string& editor) {
    return "エディタ" + editor + "を起動できません。";
}

std::string EditorFallback(const std::string& editor) {
    return EditorFailed(editor) + kFallbackEditor + " で開きます。";
}

std::string FolderUnlisted(const std::string& dir) {
    return "フォルダー " + dir + " の内容を読み取れません。";
}

std::string OfAlias(const std::string& name, const std::string& report) {
    return name + " の" + report;
}

std::string HelperProblem(const std::string& name, const std::string& path, THelperProblem what) {
    static const char* const kWhat[] = {
        "がありません。alias /apply で作成してください。",
        "はヘルパ コマンドではありません。名前を変えてから alias /apply を実行してください。",
        "は定義とは別の種類 (GUI/コンソール) です。alias /update を実行してください。",
        "は今のテンプレートと違います。alias /update を実行してください。",
        "には定義がありません。alias /apply で削除されます。",
        "は壊れています。alias /apply で作り直されます。",
        "は中断された変更で残されたものです。次に alias で変更するときに片付けられます。"};
    return name + " のヘルパ コマンド" + path + kWhat[what];
}

std::string ShadowedBy(const std::string& name, const std::string& program) {
    return name + " と入力すると PATH で先にある " + program + " が起動します。";
}

std::string PromptCommand(const std::string& name) {
    return name + " はコマンド プロンプトの内部コマンドです。コマンド プロンプトでは " + name +
           ".exe と入力してください。";
}

std::string PowerShellAlias(const std::string& name, const char* shells) {
    return name + " は PowerShell " + shells + " の組み込みのエイリアスです。PowerShell では " +
           name + ".exe と入力してください。";
}

std::string NotTypeable(const std::string& name) {
    return name + " はコマンド プロンプトでは入力したとおりに起動できません。\"" + name +
           "\" と引用符で囲んで入力してください。";
}

std::string StartLoops(const std::string& name) {
    return name + " の起動はエイリアスをたどって自分に戻るため、循環します。";
}

std::string ProgramMoved(const std::string& name, const std::string& program) {
    return name + " のプログラムは " + program + " にあります。alias " + name +
           " /path=" + (program.find(' ') != std::string::npos ? "\"" + program + "\"" : program) +
           " で変更できます。";
}

std::string ShortNameOfOther(const std::string& name, const std::string& helper) {
    return name + " はヘルパ コマンド" + helper +
           "の短い名前です。この名前のヘルパ コマンドは作成できません。名前を変えてください。";
}

std::string FolderNotOnPath(const std::string& dir) {
    return "フォルダー " + dir +
           " が PATH にないため、エイリアスはコマンド プロンプトから使えません。";
}

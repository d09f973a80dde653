#pragma once

// The launcher's own texts (UTF-8, as the widgets take them).
namespace launcher::text {

inline constexpr const char* kRun = "実行";
inline constexpr const char* kInstall = "インストール";
inline constexpr const char* kUninstall = "アンインストール";
inline constexpr const char* kClose = "閉じる";
inline constexpr const char* kBrowse = "参照";
inline constexpr const char* kCancel = "キャンセル";
inline constexpr const char* kYes = "はい(&Y)";
inline constexpr const char* kNo = "いいえ(&N)";
inline constexpr const char* kDialogTitleSuffix = " インストール";
inline constexpr const char* kChooseFolder = "インストール先フォルダを選択してください";

inline constexpr const char* kInstallQuestion = "をインストールしますか？";
inline constexpr const char* kInstallQuestionCaption = "インストールの確認";
inline constexpr const char* kUninstallQuestion = "をアンインストールしますか？";
inline constexpr const char* kUninstallQuestionCaption = "アンインストールの確認";
inline constexpr const char* kCreateFolderQuestion = "ディレクトリが存在しないので作成しますか？";
inline constexpr const char* kCreateFolderCaption = "ディレクトリ作成の確認";

inline constexpr const char* kDoneCaption = "完了メッセージ";
inline constexpr const char* kInstallDone = "インストールが完了しました";
inline constexpr const char* kUninstallDone = "をアンインストールしました";
inline constexpr const char* kInstallFailed = "インストールに失敗しました。";
inline constexpr const char* kUnreadableFile = " を読み込めませんでした。";
inline constexpr const char* kDamagedInstall =
    "インストールの際に問題があったため、正常にアンインストールできませんでした。\n"
    "インストール情報を初期化します。\n"
    "コピー先のフォルダにファイルが残っていた場合、手動で削除してください。";
inline constexpr const char* kDamagedInstallCaption = "不正なインストール情報";

inline constexpr const char* kBadInstDir =
    "Setup.ini の INST_DIR が正しくないため、インストールとアンインストールはできません。";
inline constexpr const char* kBadDestination = "インストール先フォルダが正しくありません。";
inline constexpr const char* kDestinationInSource = "インストール先がコピー元のフォルダと重なっています。";
inline constexpr const char* kWriteFailures = "個の項目を書き込めませんでした。";

}  // namespace launcher::text

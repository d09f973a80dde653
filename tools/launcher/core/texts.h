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
inline constexpr const char* kDamagedInstall =
    "インストールの際に問題があったため、正常にアンインストールできませんでした。\n"
    "インストール情報を初期化します。\n"
    "コピー先のフォルダにファイルが残っていた場合、手動で削除してください。";
inline constexpr const char* kDamagedInstallCaption = "不正なインストール情報";

inline constexpr const char* kBadInstDir =
    "Setup.ini の INST_DIR が正しくないため、インストールとアンインストールはできません。";
inline constexpr const char* kCannotInstall = "インストールとアンインストールはできません。";
inline constexpr const char* kBadDestination = "インストール先フォルダが正しくありません。";
inline constexpr const char* kDestinationInSource = "インストール先がコピー元のフォルダと重なっています。";
inline constexpr const char* kReadFailures = " 個の項目を読み込めませんでした。";
inline constexpr const char* kWriteFailures = " 個の項目を書き込めませんでした。";
inline constexpr const char* kRecordTooLong =
    "インストール先フォルダのパスが長すぎます。記録できるのは 511 バイト（日本語でおよそ 170 文字）までです。";
inline constexpr const char* kRecordNotWritten = "インストール情報を記録できませんでした。";
inline constexpr const char* kRolledBack = "途中までコピーしたファイルとショートカットは削除しました。";
inline constexpr const char* kRollbackLeft = "次の項目は削除できずに残っています: ";
inline constexpr const char* kFilledFolderQuestion =
    "」には既にファイルがあります。\nこのフォルダにインストールしますか？\n同じ名前のファイルは置き換えられます。";
inline constexpr const char* kFilledFolderCaption = "インストール先の確認";

// What a failed path was, and why the system refused it.
inline constexpr const char* kSourceFolder = "インストール元のフォルダ";
inline constexpr const char* kDestinationFolder = "インストール先フォルダ";
inline constexpr const char* kItem = "項目";
inline constexpr const char* kShortcut = "ショートカット";
inline constexpr const char* kPicture = "画像ファイル";
inline constexpr const char* kSettingsFile = "設定ファイル";
inline constexpr const char* kNotFound = "が見つかりません。";
inline constexpr const char* kNoPermission = "にアクセスする権限がありません。";
inline constexpr const char* kNameTooLong = "の名前が長すぎます。";
inline constexpr const char* kLinkLoop = "のシンボリックリンクが循環しています。";
inline constexpr const char* kNotAFolderOnTheWay = "の途中にフォルダでないものがあります。";
inline constexpr const char* kSomethingInTheWay = "の場所に別の種類の項目があります。";
inline constexpr const char* kReadOnlyPlace = "は読み取り専用の場所にあります。";
inline constexpr const char* kNoSpace = "を書き込む空き容量がありません。";
inline constexpr const char* kTooLarge = "が大きすぎます。";
inline constexpr const char* kInputOutputError = "の読み書き中にエラーが起きました。";
inline constexpr const char* kNotAFile = "はファイルでもフォルダでもありません。";
inline constexpr const char* kNotAPicture = "は BMP 画像として読み込めませんでした。";
inline constexpr const char* kOtherError = "を扱えませんでした。エラー番号: ";

}  // namespace launcher::text

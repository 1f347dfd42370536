// The Japanese texts.
#include <iterator>

#include "common/texts.h"

namespace quill::texts {
namespace {

const Entry kEntries[] = {
    {TextId::installer_caption, "セットアップ"},

    {TextId::step_welcome, "ようこそ"},
    {TextId::step_licence, "使用許諾契約"},
    {TextId::step_folder, "インストール先フォルダー"},
    {TextId::step_shortcuts, "ショートカット"},
    {TextId::step_summary, "設定の確認"},
    {TextId::step_installing, "インストールしています..."},
    {TextId::step_finished, "インストールの完了"},

    {TextId::button_next, "次へ"},
    {TextId::button_agree, "同意する"},
    {TextId::button_install, "インストール"},
    {TextId::button_done, "完了"},
    {TextId::button_exit, "終了"},
    {TextId::button_disagree, "同意しない"},
    {TextId::button_previous, "戻る"},
    {TextId::button_cancel, "キャンセル"},
    {TextId::button_browse, "参照..."},
    {TextId::button_ok, "OK"},

    {TextId::folder_prompt, "インストール先のフォルダーを選択してください:"},
    {TextId::licence_prompt,
     "インストールを続行するには、この使用許諾契約に同意する必要があります。よくお読みください。"},
    {TextId::shortcut_desktop, "デスクトップにショートカットを作成する"},
    {TextId::shortcut_start_menu, "スタート メニューにショートカットを作成する"},
    {TextId::shortcut_quick_launch, "クイック起動にショートカットを作成する"},
    {TextId::status_installing, "インストールしています..."},
    {TextId::credit, "インストーラー: www.orvelle-software.example"},

    {TextId::finished_text,
     "インストールが完了しました。\n\n[完了] をクリックして終了してください。"},
    {TextId::disk_space, "必要なディスク領域: %1 MB\n使用可能なディスク領域: %2 MB"},
    {TextId::summary_folder, "ファイルのインストール先:\n%1"},
    {TextId::summary_shortcuts, "作成するショートカット:"},
    {TextId::summary_start_menu, "- スタート メニュー"},
    {TextId::summary_desktop, "- デスクトップ"},
    {TextId::summary_quick_launch, "- クイック起動"},
    {TextId::summary_none, "なし"},
    {TextId::browse_title, "インストール先のフォルダーを選択してください。"},

    {TextId::cancel_question, "インストールを中止してもよろしいですか?"},
    {TextId::invalid_path, "続行するには、有効なインストール先のパスを入力してください。"},
    {TextId::unusable_folder,
     "フォルダー %1 はインストールに使用できません。\nC:\\Program Files\\Tool "
     "のような完全なパスを入力して、もう一度実行してください。"},
    {TextId::not_enough_space,
     "ドライブ %1 の空き領域が不足しています。\nディスクの空き領域を増やして、もう一度実行してください。"},
    {TextId::not_writable,
     "フォルダー %1 に書き込めません。\nこのプログラムは管理者権限なしで、お使いのユーザー専用に"
     "インストールされます。ユーザー フォルダー内など、ご自身のフォルダーを選択して、もう一度実行"
     "してください。"},

    {TextId::extracting, "展開しています..."},
    {TextId::small_window_caption, "セットアップを読み込んでいます..."},
    {TextId::small_window_status, "ファイルをインストールしています..."},

    {TextId::installing_file, "インストールしています:\n%1..."},
    {TextId::undoing, "変更を元に戻しています..."},
    {TextId::creating_shortcuts, "ショートカットを作成しています..."},
    {TextId::replace_question,
     "選択した場所には %1 という名前のファイルが既に存在します。\n置き換えますか?"},
    {TextId::write_question,
     "ファイル %1 に書き込めませんでした。\nインストールを中止しますか、再試行しますか、それとも"
     "このファイルを無視しますか?"},
    {TextId::restart_needed,
     "一部のファイルが使用中でした。これらのファイルはコンピューターの再起動時に置き換えまたは削除"
     "されます。\n完了するには、コンピューターを再起動してください。"},
    {TextId::another_setup, "%1 の別のインストールが実行中です。"},
    {TextId::installed_unreadable,
     "インストールされているバージョンのアンインストール情報を読み取れませんでした。何も変更されて"
     "いません。"},
    {TextId::downgrade_question,
     "%2 の新しいバージョン (%1) がインストールされています。それでもバージョン %3 をインストール"
     "しますか?"},

    {TextId::in_use_by,
     "ファイル %1 は次のプログラムで使用中です:%2\n\n[再試行] を選ぶと、これらのプログラムを閉じて"
     "もう一度実行します。"},
    {TextId::in_use_unknown,
     "ファイル %1 は使用中です。\n\nこのファイルを使用しているプログラムを閉じて、[再試行] を選んで"
     "ください。"},
    {TextId::in_use_ignore_later, "[無視] を選ぶと、コンピューターの再起動時に処理を完了します。"},
    {TextId::in_use_ignore_skip, "[無視] を選ぶと、このファイルを除いて続行します。"},
    {TextId::in_use_abort_install, "[中止] を選ぶと、インストールを終了します。"},
    {TextId::in_use_abort_removal, "[中止] を選ぶと、アンインストールを終了します。"},

    {TextId::start_write_failed,
     "セットアップの一時ファイルを書き込めませんでした。\n"
     "一時フォルダーの空き領域を確認してください。"},
    {TextId::start_damaged,
     "インストール パッケージが破損しているため、インストールできません。\n"
     "インストーラーを新たに入手してください。"},
    {TextId::missing_value, "値がありません: %1"},
    {TextId::log_unwritable, "ログ ファイルに書き込めません: %1"},
    {TextId::usage,
     "使用法: setup.exe [/S] [/PASSIVE] [/DOWNGRADE] [/NORESTART] [/LOG=ファイル] [/LANG=xx] [/D=フォルダー]\n"
     "\n"
     "/S\tサイレント インストール: ウィンドウも質問も表示しません。\n"
     "\t既存のファイルは置き換えられます。パッケージがインストールの\n"
     "\t最後に表示するメッセージや起動するプログラムは省略されます。\n"
     "/PASSIVE\t/S と同様ですが、インストールの進行状況を表示します。\n"
     "/DOWNGRADE\t/S と共に指定すると、新しいバージョンの上にインストールします。\n"
     "/NORESTART\t使用中のファイルがあると、再起動時に置き換えるのではなく\n"
     "\tインストールを終了します (変更は元に戻されます)。\n"
     "/LOG=ファイル\tインストールの記録をファイルに追加します。\n"
     "\tファイルに書き込めない場合は何もインストールしません (終了コード 1)。\n"
     "/LANG=xx\tこの言語で表示します: %1。\n"
     "\t不明なコードやパッケージにないコードの場合は英語になります。\n"
     "/D=フォルダー\tこのフォルダーにインストールします。最後に指定する\n"
     "\t必要があります。スペースを含めることができます。\n"
     "/?\tこのヘルプを表示します。\n"
     "\n"
     "終了コード: 0 インストール完了、1 コマンド ラインが正しくない、2 キャンセル、\n"
     "3 パッケージの破損、4 フォルダーが使用できないかディスクの空き不足、\n"
     "5 ファイルを書き込めなかった (インストールは元に戻されました)、\n"
     "6 新しいバージョンがインストール済み (サイレント、/DOWNGRADE なし)、\n"
     "1618 このプログラムの別のインストールが実行中、\n"
     "3010 インストール完了。再起動で使用中のファイルの置き換えが完了します。"},

    {TextId::uninstaller_caption, "Quillset アンインストーラー"},
    {TextId::uninstaller_window_caption, "Quillset アンインストーラー"},
    {TextId::uninstall_question, "%1 をアンインストールしてもよろしいですか?"},
    {TextId::log_cannot_open,
     "アンインストール ログ %1 を開けませんでした。何も削除されていません。"},
    {TextId::log_incomplete,
     "アンインストール ログ %1 が不完全です。何も削除されていません。"},
    {TextId::log_too_many,
     "アンインストール ログ %1 の項目数が、アンインストーラーで処理できる数を超えています。何も削除"
     "されていません。"},
    {TextId::removing, "%1 を削除しています..."},
    {TextId::removal_done, "完了しました。"},
};

}  // namespace

extern const Table kTable_ja;
const Table kTable_ja = {kEntries, std::size(kEntries)};

}  // namespace quill::texts

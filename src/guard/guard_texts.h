#pragma once

#include <QStringView>

// The texts Holdfast shows, word for word.
namespace guard_text {

inline constexpr QStringView kCaption = u"添付フォルダ";
// %1 is the attachment folder.
inline constexpr QStringView kScrollingCaption = u"添付ファイルは、%1にあります。";
inline constexpr QStringView kHelpButton = u"説明";
inline constexpr QStringView kSweepButton = u"ウイルス自動削除";
// Nine ideographic spaces sit between the two sentences.
inline constexpr QStringView kInstructions =
    u"流行しているコンピュータウイルスのファイル名を登録して下さい。("
    u"Max50件）　　　　　　　　　ファイルを開く前に自動削除でウイルスを削除して下さい。登録されてい"
    u"るウイルスが削除されます。";
inline constexpr QStringView kFrameHeading = u"ウイルス削除";
inline constexpr QStringView kKeywordLabel = u"ウイルス・キーワード";
inline constexpr QStringView kPasteButton = u"貼付";
inline constexpr QStringView kRegisterButton = u"登録";
inline constexpr QStringView kDeleteButton = u"削除";
inline constexpr QStringView kKeywordCountLabel = u"件数 Max50";
inline constexpr QStringView kFileCountLabel = u"ファイル数";
inline constexpr QStringView kHelpFont = u"ＭＳ Ｐゴシック";
inline constexpr QStringView kLimitReached =
    u"登録数は50個迄です。登録したい場合は、不要と思われるデータを削除してからにして下さい。";
// Begins with an ideographic space.
inline constexpr QStringView kRegistered = u"　登録が完了しました。";
inline constexpr QStringView kDeleteQuestion =
    u"選択された（行、青色）データを削除します。よろしいですか";
inline constexpr QStringView kConfirmTitle = u"確認";
inline constexpr QStringView kNothingSelected = u"データが選択されていません";
inline constexpr QStringView kNothingSwept =
    u"添付フォルダ内に「登録されたコンピューターウイルス」は存在しませんでした。";
// Follows the number of keywords whose files were deleted.
inline constexpr QStringView kSweptSuffix = u"件のコンピューターウイルスを削除しました。";
// Shown by the help button: six paragraphs joined by CR LF CR LF.
inline constexpr QStringView kHelp =
    u"ドライブ、ディレクトリ、ファイルフィルリストからファイルを選択・クリックして下さい。\r\n\r\n"
    u"「ＧＩＦ，ＪＰＧ（ＪＰＥＧ），ＢＭＰ，ＨＴＭＬ（ＨＰ）はリストをクリックすると画像が"
    u"表示されます。その他のファイルは「ファイルのダウンロード」ダイアログが現れますので、"
    u"「このファイルを上記の場所から実行する（開く）」をチェックして下さい。\r\n\r\n"
    u"保存したい場合は"
    u"「このファイルを上記の場所から保存する」をチェックし、保存場所を選択して下さい。\r\n\r\n"
    u"注：実行する（開く）場合は、ウイルス自動削除を実行し、ウイルスの存在を確認して下さい。"
    u"但し、登録していないウイルスの場合は検索されませんので、適時、流行しているウイルスを"
    u"登録するようにして下さい。\r\n\r\n"
    u"登録件数は５０件迄です。登録は拡張子（.exe "
    u".src等まで全て正確に。完全一致したファイルのみ削除します。）\r\n\r\n"
    u"知らない人からの添付ファイルは開かない事が､感染を防止します｡ ";

// Holdfast's own messages where something failed or a choice is needed. A failure box
// says on its first line what went wrong and what to do; the path and the system's reason
// follow on the next.
inline constexpr QStringView kDriveNotReady =
    u"ドライブの準備ができていないか、開くことができません。ディスクや機器がつながっているかを"
    u"確かめてください。\n%1";
inline constexpr QStringView kNotInCodePage =
    u"キーワードに登録できない文字が含まれています。ファイル名を確認して下さい。";
inline constexpr QStringView kRegisterFailed =
    u"キーワードを登録できませんでした。Holdfastのフォルダに書き込めるか、ディスクに空きが"
    u"あるかを確かめてください。";
inline constexpr QStringView kDeleteFailed =
    u"キーワードを削除できませんでした。一覧は元のままです。キーワード一覧のファイルに書き込める"
    u"か、ディスクに空きがあるかを確かめてください。";
inline constexpr QStringView kDeleteUnconfirmed =
    u"キーワードを削除しましたが、ディスクに書き込まれたことを確かめられませんでした。"
    u"コンピュータが止まると、キーワードが元に戻ることがあります。ディスクに異常がないかを"
    u"確かめてください。";
inline constexpr QStringView kCompactFailed =
    u"キーワード一覧を整理できませんでした。一覧は元のままです。Holdfastのフォルダに書き込める"
    u"か、ディスクに空きがあるかを確かめてください。";
inline constexpr QStringView kListNotCreated =
    u"キーワード一覧のファイルを作れませんでした。Holdfastのフォルダに書き込めるか、ディスクに"
    u"空きがあるかを確かめてください。";
inline constexpr QStringView kListUnreadable =
    u"キーワード一覧のファイルを読めませんでした。ファイルが読めるかを確かめてください。"
    u"読めるまで、ウイルス自動削除は何も削除しません。";
inline constexpr QStringView kSweepRefused =
    u"次のファイルは削除できませんでした。ファイルを使っているプログラムを閉じ、添付フォルダに"
    u"書き込めるかを確かめてから、もう一度ウイルス自動削除を実行してください。";
inline constexpr QStringView kDownloadTitle = u"ファイルのダウンロード";
inline constexpr QStringView kDownloadQuestion =
    u"ファイル名: %1\n場所: %2\n\nこのファイルは表示できません。"
    u"実行する（開く）前に、ウイルス自動削除を実行して下さい。";
// Shown in the viewer when the arrow keys stop on a file it cannot show.
inline constexpr QStringView kChooseWithEnter =
    u"このファイルは表示できません。Enterキーを押すと、実行する（開く）か保存するかを選べます。";
inline constexpr QStringView kRunChoice = u"このファイルを上記の場所から実行する（開く）";
inline constexpr QStringView kSaveChoice = u"このファイルを上記の場所から保存する";
inline constexpr QStringView kCancelChoice = u"キャンセル";
inline constexpr QStringView kSaveTitle = u"名前を付けて保存";
inline constexpr QStringView kSaveFilter = u"すべてのファイル (*)";
inline constexpr QStringView kRunFailed =
    u"ファイルを開くことができませんでした。この種類のファイルを開くプログラムが入っているかを"
    u"確かめてください。";
inline constexpr QStringView kCannotView =
    u"このファイルは表示できませんでした。パイプや装置などではないふつうのファイルか、読むことが"
    u"できるかを確かめてください。";
inline constexpr QStringView kRemoteNotShown =
    u"インターネット上のページは、ここでは表示しません。見る必要があれば、送り主を確かめてから"
    u"ブラウザで開いてください。";
// Stands above a text or page that was cut; %1 is the number of megabytes shown.
inline constexpr QStringView kCutNotice =
    u"【途中まで表示】ファイルが大きいため、はじめの%1MBだけを表示しています。全体を見るには、"
    u"メモ帳などほかのプログラムで開いてください。";
inline constexpr QStringView kSaveFailed =
    u"ファイルを保存できませんでした。保存先のフォルダがあるか、書き込めるか、ディスクに空きが"
    u"あるかを確かめてください。";

}  // namespace guard_text

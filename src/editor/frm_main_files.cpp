// The file commands: New, Open, overwrite-save and Save As, and the question on closing.
#include <QDir>
#include <QFileInfo>

#include "desktop.h"
#include "dialog_filter.h"
#include "editor_text.h"
#include "failure_detail.h"
#include "fixed_wrap_edit.h"
#include "frm_main.h"
#include "text_file.h"

namespace {

const QString kNewFileName = QStringLiteral("新規作成.TXT");

// Everything up to and including the last separator; empty when there is none.
QString folderOf(const QString& path) {
    const qsizetype cut = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.left(cut + 1);
}

// A failure box: what was not saved and what to do, then the file and the system's reason.
QString saveFailure(const QString& path, const TextWriteFailure& failure) {
    QString what;
    switch (failure.problem) {
        case WriteProblem::DiskFull:
            what = QStringLiteral(
                "ファイルに保存できませんでした。ディスクに空きがありません。ファイルは保存前の"
                "ままです。不要なファイルを消して空きを作ってから、もう一度保存してください。");
            break;
        case WriteProblem::NotPermitted:
            what = QStringLiteral(
                "ファイルに保存できませんでした。このファイルかフォルダに書き込む許可がありません。"
                "ファイルは保存前のままです。「名前を付けて保存」で書き込めるフォルダに保存して"
                "ください。");
            break;
        case WriteProblem::Other:
            what = QStringLiteral(
                "ファイルに保存できませんでした。ファイルは保存前のままです。保存先のフォルダが"
                "あるか、書き込めるか、ディスクに空きがあるかを確かめてください。");
            break;
    }
    return what + u'\n' + fileAndReason(path, failure.reason);
}

}  // namespace

frmMain::SaveOutcome frmMain::saveIfModified(QString* error) {
    if (!modified) {
        return SaveOutcome::Saved;
    }
    if (currentFile.isEmpty()) {
        *error = QStringLiteral(
            "保存先のファイルが決まっていません。「名前を付けて保存」で保存してください。");
        return SaveOutcome::Unnamed;
    }
    const std::optional<QByteArray> bytes =
        bytesToSave(fileText(*rtfEd->document(), currentLineEnd), currentFile);
    if (!bytes) {
        return SaveOutcome::Declined;
    }
    TextWriteFailure failure;
    if (!writeTextFile(currentFile, *bytes, &failure)) {
        *error = saveFailure(currentFile, failure);
        return SaveOutcome::Failed;
    }
    modified = false;
    rtfEd->document()->setModified(false);
    return SaveOutcome::Saved;
}

std::optional<QByteArray> frmMain::bytesToSave(const QString& text, const QString& path) {
    bool lossless = true;
    QByteArray bytes = encodeText(text, currentEncoding, &lossless);
    if (!lossless || currentDamaged) {
        const QString question =
            QStringLiteral(
                "%1 には %2 で書けない文字があります。保存すると、その文字は「?」に"
                "置き換わり、元に戻せません。\n保存しますか？")
                .arg(QDir::toNativeSeparators(path), encodingName(currentEncoding));
        if (desktop_.message(this, question, QStringLiteral("Notepane"), Desktop::Buttons::YesNo,
                             Desktop::Icon::Exclamation) != Desktop::Answer::Yes) {
            return std::nullopt;
        }
    }
    return bytes;
}

// Text that never had a file is dropped by New, as it always was. A user who refused to let
// characters be lost, or to let a "新規作成.TXT" with text in it be emptied, keeps the text:
// New stops there. So does a save that failed, after telling it: the editor keeps the text
// that is on no disk.
void frmMain::newDocument() {
    if (currentFile.contains(kNewFileName)) {
        return;
    }
    QString error;
    const SaveOutcome saved = saveIfModified(&error);
    if (saved == SaveOutcome::Declined) {
        return;
    }
    if (saved == SaveOutcome::Failed) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
        return;
    }
    const QString newFile = folderOf(currentFile) + kNewFileName;
    // Emptying the editor is a change, and the change is saved into the new file: it is
    // written before the editor is emptied, so a failure leaves both as they were.
    const bool emptying = modified || !rtfEd->document()->isEmpty();
    if (emptying && !mayEmptyNewFile(newFile)) {
        return;
    }
    TextWriteFailure failure;
    if (emptying && !writeTextFile(newFile, QByteArray(), &failure)) {
        desktop_.message(this, saveFailure(newFile, failure), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Exclamation);
        return;
    }
    if (!rtfEd->document()->isEmpty()) {
        rtfEd->clear();
    }
    currentFile = newFile;
    // A new file is written as the suite writes its files.
    currentEncoding = TextEncoding::Cp932;
    currentLineEnd = LineEnd::CrLf;
    currentDamaged = false;
    modified = false;
    rtfEd->document()->setModified(false);
    setWindowTitle(kNewFileName + QStringLiteral("      ") + QDir::toNativeSeparators(currentFile));
}

bool frmMain::mayEmptyNewFile(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile() || file.size() == 0) {
        return true;
    }
    const QString question =
        QStringLiteral(
            "「%1」には文章が入っています。空にして新しく書き始めるときは「はい」、"
            "残すときは「いいえ」を選んでください。\n%2 (%3 バイト)")
            .arg(kNewFileName, QDir::toNativeSeparators(file.absoluteFilePath()))
            .arg(file.size());
    return desktop_.message(this, question, QStringLiteral("確認"), Desktop::Buttons::YesNo,
                            Desktop::Icon::Question) == Desktop::Answer::Yes;
}

bool frmMain::loadCurrentFile() {
    if (currentFile.isEmpty()) {
        return true;
    }
    QString error;
    const std::optional<TextFileContent> content = readTextFile(currentFile, &error);
    if (!content) {
        return false;
    }
    showFile(*content);
    return true;
}

void frmMain::showFile(const TextFileContent& content) {
    currentEncoding = content.encoding;
    currentLineEnd = content.lineEnd;
    currentDamaged = content.damaged;
    setFileText(*rtfEd, content.text, content.lineEnd);
    rtfEd->document()->setModified(false);
}

void frmMain::mnuOPen_Click() {
    const QString folder = folderOf(currentFile);
    const QString path = desktop_.openFileName(
        this, QStringLiteral("ファイルを開く←") + folder + QStringLiteral("\\.."), folder,
        qtFileFilter(u"テキストファイル(*.txt)|*.txt|テキストファイル(*.txt)|*.txt|"
                     u"JAVAソース(*.java)|*.java|スクリプト(*.pl)|*.pl|全てのファイル(*.*)|*.*"));
    if (path.isEmpty()) {
        return;
    }
    QString error;
    const std::optional<TextFileContent> content = readTextFile(path, &error);
    if (!content) {
        desktop_.message(this,
                         QStringLiteral("ファイルを開けませんでした。ファイルがあるか、"
                                        "読めるかを確かめてください。\n") +
                             fileAndReason(path, error),
                         QString(), Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
        return;
    }
    currentFile = path;
    showFile(*content);
    // The suite's own files count as changed once loaded, so New writes them back; a file in
    // another encoding or with bytes that are not text is left alone until the user edits it.
    modified = content->encoding == TextEncoding::Cp932 && !content->damaged;
}

void frmMain::mnuUPdate_Click() {
    overwriteSave();
}

frmMain::SaveOutcome frmMain::overwriteSave() {
    modified = true;
    QString error;
    // A refused save was the user's own answer; only a failure needs telling.
    const SaveOutcome saved = saveIfModified(&error);
    if (saved == SaveOutcome::Failed || saved == SaveOutcome::Unnamed) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
    }
    return saved;
}

void frmMain::mnuSaveAs_Click() {
    saveCopyAs();
}

// Save As keeps a copy: the current file, the one overwrite-save writes, stays as it was. The
// copy ends with one more line end, written as the current file ends its lines. The typed
// text is then on disk, so closing asks nothing more.
bool frmMain::saveCopyAs() {
    const QString path =
        desktop_.saveFileName(this, QStringLiteral("名前を付けて保存"), QString(),
                              qtFileFilter(u"txtファイル(*.txt,*.ini)|*.txt;*.ini"));
    if (path.isEmpty()) {
        return false;
    }
    QString text = fileText(*rtfEd->document(), currentLineEnd);
    text += lineEndText(currentLineEnd);
    const std::optional<QByteArray> bytes = bytesToSave(text, path);
    if (!bytes) {
        return false;
    }
    TextWriteFailure failure;
    if (!writeTextFile(path, *bytes, &failure)) {
        desktop_.message(this, saveFailure(path, failure), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Exclamation);
        return false;
    }
    rtfEd->document()->setModified(false);
    setWindowTitle(QDir::toNativeSeparators(path));
    return true;
}

// Only text typed since it was last read or written counts: a file that was merely opened
// closes without a question, whatever overwrite-save would do with it.
bool frmMain::mayClose() {
    if (!rtfEd->document()->isModified()) {
        return true;
    }
    const QString where = currentFile.isEmpty()
                              ? QStringLiteral("（まだファイルに保存していません）")
                              : QDir::toNativeSeparators(currentFile);
    const int choice = desktop_.choose(
        this,
        QStringLiteral("保存していない変更があります。保存してから閉じますか？\n%1").arg(where),
        QStringLiteral("Notepane"),
        {QStringLiteral("保存する"), QStringLiteral("保存しない"), QStringLiteral("キャンセル")},
        2);
    if (choice == 1) {
        return true;
    }
    if (choice != 0) {
        return false;
    }
    return currentFile.isEmpty() ? saveCopyAs() : overwriteSave() == SaveOutcome::Saved;
}

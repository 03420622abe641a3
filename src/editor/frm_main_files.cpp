// The file commands: New, Open, overwrite-save and Save As.
#include <QDir>
#include <QFileInfo>

#include "desktop.h"
#include "dialog_filter.h"
#include "editor_text.h"
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

// A failure box: what went wrong and what to do, then the file and the system's reason.
QString fileFailure(const QString& what, const QString& path, const QString& reason) {
    return what + u'\n' + QDir::toNativeSeparators(path) + QStringLiteral(" (") + reason + u')';
}

const QString kCannotSave = QStringLiteral(
    "ファイルに保存できませんでした。保存先のフォルダがあるか、書き込めるか、ディスクに空きが"
    "あるかを確かめてください。");

}  // namespace

frmMain::SaveOutcome frmMain::saveIfModified(QString* error) {
    if (!modified) {
        return SaveOutcome::Saved;
    }
    if (currentFile.isEmpty()) {
        *error = QStringLiteral(
            "保存先のファイルが決まっていません。「名前を付けて保存」で保存してください。");
        return SaveOutcome::Failed;
    }
    const std::optional<QByteArray> bytes =
        bytesToSave(fileText(*rtfEd->document(), currentLineEnd), currentFile);
    if (!bytes) {
        return SaveOutcome::Declined;
    }
    QString reason;
    if (!writeTextFile(currentFile, *bytes, &reason)) {
        *error = fileFailure(kCannotSave, currentFile, reason);
        return SaveOutcome::Failed;
    }
    modified = false;
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

// The save inside New stays silent: a failed save leaves the flag set and nothing else. A
// user who refused to let characters be lost, or to let a "新規作成.TXT" with text in it be
// emptied, keeps the text: New stops there.
void frmMain::newDocument() {
    if (currentFile.contains(kNewFileName)) {
        return;
    }
    QString ignored;
    if (saveIfModified(&ignored) == SaveOutcome::Declined) {
        return;
    }
    const QString newFile = folderOf(currentFile) + kNewFileName;
    // Emptying the editor is a change, and the change is saved into the new file.
    if ((modified || !rtfEd->document()->isEmpty()) && !mayEmptyNewFile(newFile)) {
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
    saveIfModified(&ignored);
    modified = false;
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
                         fileFailure(QStringLiteral("ファイルを開けませんでした。ファイルがあるか、"
                                                    "読めるかを確かめてください。"),
                                     path, error),
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
    modified = true;
    QString error;
    // A refused save was the user's own answer; only a failure needs telling.
    if (saveIfModified(&error) == SaveOutcome::Failed) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
    }
}

// Save As keeps a copy: the current file, the one overwrite-save writes, stays as it was. The
// copy ends with one more line end, written as the current file ends its lines.
void frmMain::mnuSaveAs_Click() {
    const QString path =
        desktop_.saveFileName(this, QStringLiteral("名前を付けて保存"), QString(),
                              qtFileFilter(u"txtファイル(*.txt,*.ini)|*.txt;*.ini"));
    if (path.isEmpty()) {
        return;
    }
    QString text = fileText(*rtfEd->document(), currentLineEnd);
    text += lineEndText(currentLineEnd);
    const std::optional<QByteArray> bytes = bytesToSave(text, path);
    if (!bytes) {
        return;
    }
    QString error;
    if (!writeTextFile(path, *bytes, &error)) {
        desktop_.message(this, fileFailure(kCannotSave, path, error), QString(),
                         Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
        return;
    }
    setWindowTitle(QDir::toNativeSeparators(path));
}

// The file commands: New, Open, overwrite-save and Save As.
#include <QDir>
#include <QTextEdit>

#include "desktop.h"
#include "dialog_filter.h"
#include "editor_text.h"
#include "frm_main.h"
#include "text_file.h"

namespace {

const QString kNewFileName = QStringLiteral("新規作成.TXT");

// Everything up to and including the last separator; empty when there is none.
QString folderOf(const QString& path) {
    const qsizetype cut = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.left(cut + 1);
}

}  // namespace

bool frmMain::saveIfModified(QString* error) {
    if (!modified) {
        return true;
    }
    if (currentFile.isEmpty()) {
        *error = QStringLiteral(
            "保存先のファイルが決まっていません。「名前を付けて保存」で保存してください。");
        return false;
    }
    const std::optional<QByteArray> bytes = bytesToSave(rtfEd->toPlainText(), currentFile);
    if (!bytes) {
        *error = QStringLiteral("保存を取りやめました。ファイルは変更していません。");
        return false;
    }
    QString reason;
    if (!writeTextFile(currentFile, *bytes, &reason)) {
        *error = QStringLiteral("ファイルに保存できませんでした。\n") +
                 QDir::toNativeSeparators(currentFile) + u'\n' + reason;
        return false;
    }
    modified = false;
    return true;
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

// The save inside New stays silent: a failed save leaves the flag set and nothing else.
void frmMain::newDocument() {
    if (currentFile.contains(kNewFileName)) {
        return;
    }
    QString ignored;
    saveIfModified(&ignored);
    if (!rtfEd->document()->isEmpty()) {
        rtfEd->clear();
    }
    currentFile = folderOf(currentFile) + kNewFileName;
    // A new file is written as the suite writes its files.
    currentEncoding = TextEncoding::Cp932;
    currentDamaged = false;
    saveIfModified(&ignored);
    modified = false;
    setWindowTitle(kNewFileName + QStringLiteral("      ") + QDir::toNativeSeparators(currentFile));
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
    currentEncoding = content->encoding;
    currentDamaged = content->damaged;
    rtfEd->setPlainText(editorText(content->text));
    return true;
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
                         QStringLiteral("ファイルを開けませんでした。\n") +
                             QDir::toNativeSeparators(path) + u'\n' + error,
                         QString(), Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
        return;
    }
    currentFile = path;
    currentEncoding = content->encoding;
    currentDamaged = content->damaged;
    rtfEd->setPlainText(editorText(content->text));
    modified = true;
}

void frmMain::mnuUPdate_Click() {
    modified = true;
    QString error;
    if (!saveIfModified(&error)) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
    }
}

// Save As keeps a copy: the current file, the one overwrite-save writes, stays as it was.
void frmMain::mnuSaveAs_Click() {
    const QString path =
        desktop_.saveFileName(this, QStringLiteral("名前を付けて保存"), QString(),
                              qtFileFilter(u"txtファイル(*.txt,*.ini)|*.txt;*.ini"));
    if (path.isEmpty()) {
        return;
    }
    const std::optional<QByteArray> bytes = bytesToSave(rtfEd->toPlainText() + u'\n', path);
    if (!bytes) {
        return;
    }
    QString error;
    if (!writeTextFile(path, *bytes, &error)) {
        desktop_.message(this,
                         QStringLiteral("ファイルに保存できませんでした。\n") +
                             QDir::toNativeSeparators(path) + u'\n' + error,
                         QString(), Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
        return;
    }
    setWindowTitle(QDir::toNativeSeparators(path));
}

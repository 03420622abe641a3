// The history window's list: filling it from the record file and showing a clicked mail.
#include <QApplication>
#include <QClipboard>

#include "desktop.h"
#include "history_fields.h"
#include "list_cell.h"
#include "quillpost_app.h"
#include "record_spans.h"
#include "routines.h"
#include "tyaku_form.h"

namespace {

// Sets a line box so that it shows the beginning of its text, as a box the user has not
// touched does.
void showFromStart(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}

}  // namespace

void TyakuForm::Fill() {
    if (app_.HistoryMode != 1 && app_.HistoryMode != 2) {
        return;
    }
    const HistoryFields& fields = app_.HistoryMode == 1 ? kReceivedFields : kSentFields;
    const RecordFile file = app_.HistoryMode == 1 ? receivedMailStore(app_.folder()).file()
                                                  : sentMailStore(app_.folder()).file();
    MailListView->clear();
    Text15->SetText(QString());
    // Only the list columns of every record are read and decoded; the boxes end up showing
    // the last record, so only its body is, and it goes through the clipboard once.
    QList<QTreeWidgetItem*> rows;
    Cp932Decoder decoder;
    const qint16 last = readRecordSpans(
        file, {fields.subject, fields.second, fields.third}, [&](qint16, const QByteArray& record) {
            auto* row = new QTreeWidgetItem;
            row->setText(0, listCellText(decoder, record, fields.subject));
            row->setText(1, listCellText(decoder, record, fields.second));
            row->setText(2, listCellText(decoder, record, fields.third));
            rows.append(row);
        });
    MailListView->addTopLevelItems(rows);
    if (const auto record = last > 0 ? file.ReadAt(last) : std::nullopt) {
        showFromStart(Text8, TrimSpaces(readField(*record, fields.subject)));
        showFromStart(Text9, TrimSpaces(readField(*record, fields.second)));
        showFromStart(Text10, TrimSpaces(readField(*record, fields.third)));
        Text15->SetText(TrimSpaces(readField(*record, fields.body)));
        PassBodyThroughClipboard();
    }
    Text7->setText(QString::number(rows.size()));
}

void TyakuForm::PassBodyThroughClipboard() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(Text15->Text());
    // The platform's clipboard ends a text at its first NUL.
    Text15->SetText(TrimSpaces(StripAtNul(clipboard->text())));
}

qint16 TyakuForm::selectedRowNo() const {
    const QList<QTreeWidgetItem*> selected = MailListView->selectedItems();
    if (selected.isEmpty()) {
        return 0;
    }
    const int row = MailListView->indexOfTopLevelItem(selected.first()) + 1;
    return row <= RecordFile::kMaxRecords ? static_cast<qint16>(row) : 0;
}

void TyakuForm::MailListView_Click() {
    if (app_.HistoryMode == 1 && numericValue16(Text7->text()) == 0) {
        app_.desktop().message(this, QStringLiteral("選択するデータがありません"));
        return;
    }
    const qint16 n = selectedRowNo();
    if (n < 1) {
        return;
    }
    QString subject, second, third, body;
    if (app_.HistoryMode == 1) {
        const auto record = receivedMailStore(app_.folder()).ReadAt(n);
        if (!record) {
            return;
        }
        app_.ReceivedBuffer = *record;
        subject = record->Subject;
        second = record->From;
        third = record->Date;
        body = record->Body;
    } else if (app_.HistoryMode == 2) {
        const auto record = sentMailStore(app_.folder()).ReadAt(n);
        if (!record) {
            return;
        }
        app_.SentBuffer = *record;
        subject = record->Subject;
        second = record->To;
        third = record->SentAt;
        body = record->Body;
    } else {
        return;
    }
    showFromStart(Text8, TrimSpaces(subject));
    showFromStart(Text9, TrimSpaces(second));
    showFromStart(Text10, TrimSpaces(third));
    Text5->setText(TrimSpaces(second));
    Text15->SetText(TrimSpaces(body));
    if (app_.HistoryMode == 1) {
        Text7->setText(QString::number(MailListView->topLevelItemCount()));
    }
    PassBodyThroughClipboard();
}

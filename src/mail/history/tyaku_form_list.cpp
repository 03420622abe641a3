// The history window's list: filling it from the record file and showing a clicked mail.
#include <QApplication>
#include <QClipboard>

#include "app/quillpost_app.h"
#include "desktop.h"
#include "history/history_fields.h"
#include "history/list_cell.h"
#include "history/record_spans.h"
#include "history/tyaku_form.h"
#include "routines.h"
#include "store/received_ledger.h"

namespace {

// Sets a line box so that it shows the beginning of its text, as a box the user has not
// touched does.
void showFromStart(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}

}  // namespace

void TyakuForm::Fill() {
    fill(true);
}

void TyakuForm::RefillInBackground() {
    fill(false);
}

void TyakuForm::fill(bool throughClipboard) {
    if (app_.HistoryMode != 1 && app_.HistoryMode != 2) {
        return;
    }
    const bool received = app_.HistoryMode == 1;
    const HistoryFields& fields = received ? kReceivedFields : kSentFields;
    const int liveFlagOffset =
        received ? ReceivedMailRecord::LiveFlagOffset : SentMailRecord::LiveFlagOffset;
    RecordFile file =
        received ? receivedMailStore(app_.folder()).file() : sentMailStore(app_.folder()).file();
    MailListView->clear();
    Text15->SetText(QString());
    // Only the list columns of every record are read, and a cell is decoded when it is
    // shown; the boxes end up showing the last record, so only its body is read, and it goes
    // through the clipboard once.
    ListedRows listed({fields.subject, fields.second, fields.third}, app_.HistoryMode);
    qint16 last = 0;
    bool marked = false;
    readRecordSpans(file, {fields.subject, fields.second, fields.third, {liveFlagOffset, 2}},
                    [&](qint16 recordNo, const QByteArray& record) {
                        if (readLiveFlag(record, liveFlagOffset) == 0) {
                            marked = true;
                            return;
                        }
                        listed.add(recordNo, record);
                        last = recordNo;
                    });
    // A delete that a crash cut short left a record marked 0: finish it and list again, so
    // that row k shows record k. Should that fail, the marked record is still never listed.
    QString unsettled;
    if (marked && (!received || ReceivedLedger::settleBeforeDelete(app_.folder(), unsettled)) &&
        file.Compact()) {
        fill(throughClipboard);
        return;
    }
    MailListView->addTopLevelItems(listed.makeRows());
    if (const auto record = last > 0 ? file.ReadAt(last) : std::nullopt) {
        // The shared buffer holds the last record listed, as after reading them all.
        if (received) {
            app_.ReceivedBuffer = ReceivedMailRecord::fromBytes(*record);
        } else {
            app_.SentBuffer = SentMailRecord::fromBytes(*record);
        }
        showFromStart(Text8, TrimSpaces(readField(*record, fields.subject)));
        showFromStart(Text9, TrimSpaces(readField(*record, fields.second)));
        showFromStart(Text10, TrimSpaces(readField(*record, fields.third)));
        Text15->SetText(TrimSpaces(readField(*record, fields.body)));
        if (throughClipboard) {
            PassBodyThroughClipboard();
        }
    }
    Text7->setText(QString::number(listed.size()));
}

void TyakuForm::PassBodyThroughClipboard() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    const QString body = Text15->Text();
    clipboard->setText(body);
    // The platform's clipboard ends a text at its first NUL. Laying out a long body again
    // is skipped when it came back as it went.
    const QString back = TrimSpaces(StripAtNul(clipboard->text()));
    if (back != body) {
        Text15->SetText(back);
    }
}

qint16 TyakuForm::selectedRowNo() const {
    const QList<QTreeWidgetItem*> selected = MailListView->selectedItems();
    if (selected.isEmpty()) {
        return 0;
    }
    // Every row names its record; a row of the other history (a mail check stages received
    // mail in whatever list is shown) names none of this one.
    const QTreeWidgetItem* row = selected.first();
    if (row->data(0, kHistoryRole).toInt() != app_.HistoryMode) {
        return 0;
    }
    const int recordNo = row->data(0, kRecordNoRole).toInt();
    return recordNo <= RecordFile::kMaxRecords ? static_cast<qint16>(recordNo) : 0;
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

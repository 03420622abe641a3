#include "mail_check/history_staging.h"

#include "app/quillpost_app.h"
#include "history/list_cell.h"
#include "history/tyaku_form.h"
#include "mail_check/mail_check.h"
#include "routines.h"

namespace {

constexpr qint16 kReceivedHistory = 1;

}  // namespace

HistoryStaging::HistoryStaging(QuillpostApp& app)
    : app_(app), store_(receivedMailStore(app.folder())) {}

void HistoryStaging::startList() {
    app_.tyakuForm().MailListView->clear();
}

ReceivedMailRecord HistoryStaging::stage(const ReceivedMail& mail, qint16 recordNo) {
    TyakuForm& tyaku = app_.tyakuForm();
    const QString subject = StripAtNul(mail.subject);
    const QString date = StripAtNul(mail.date);
    const QString from = StripAtNul(mail.from);
    tyaku.Text1->setText(subject);
    tyaku.Text2->setText(date);
    tyaku.Text3->setText(from);
    QString body = StripAtNul(mail.body);
    if (mail.mentionsAttachment) {
        body += QStringLiteral("\r\n") + QString::fromUtf16(kAttachmentNotice);
    }
    tyaku.Text4->SetText(body);
    // The row names its record, so that a click or a delete during the check acts on it.
    tyaku.MailListView->addTopLevelItem(
        namedRow({subject, from, date}, recordNo, kReceivedHistory));
    tyaku.Text7->setText(QString::number(tyaku.MailListView->topLevelItemCount()));
    return stagedReceivedMail(tyaku);
}

bool HistoryStaging::store(qint16 recordNo, QString& error) {
    if (!StoreReceivedMail(app_, store_, recordNo)) {
        error = store_.errorString();
        return false;
    }
    app_.CurrentRecordNo = recordNo;
    return true;
}

void HistoryStaging::unstage(qint16 recordNo) {
    // Its row would name a record that was never written.
    QTreeWidget& list = *app_.tyakuForm().MailListView;
    for (int row = list.topLevelItemCount() - 1; row >= 0; --row) {
        if (list.topLevelItem(row)->data(0, kRecordNoRole).toInt() == recordNo) {
            delete list.takeTopLevelItem(row);
            return;
        }
    }
}

bool HistoryStaging::ending() const {
    return app_.ending();
}

#include "mail_check.h"

#include <QFile>

#include "app_folder.h"
#include "cp932.h"
#include "desktop.h"
#include "id_pass_form.h"
#include "main_form.h"
#include "quillpost_app.h"
#include "routines.h"
#include "settings_files.h"
#include "tyaku_form.h"

namespace {

constexpr char16_t kAttachmentFolder[] = u"\\添付フォルダ\\";
constexpr char16_t kScratchFile[] = u"\\添付フォルダ\\0.txt";
const QString kErrorTitle = QStringLiteral("エラー");

// Writes the header and the body as two CR LF lines, then reads the file back line by
// line, every line followed by CR LF, as the attachment decoder is handed the mail.
QString throughScratchFile(const QString& path, const QString& header, const QString& body) {
    {
        QFile scratch(path);
        if (scratch.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            scratch.write(encodeCp932(StripAtNul(header) + QStringLiteral("\r\n") +
                                      StripAtNul(body) + QStringLiteral("\r\n")));
        }
    }
    QFile scratch(path);
    if (!scratch.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString text = decodeCp932(scratch.readAll());
    QString wholeMail;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') {
            ++end;
        }
        wholeMail += text.sliced(start, end - start) + QStringLiteral("\r\n");
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() &&
            text[end + 1] == u'\n') {
            ++end;
        }
        start = end + 1;
    }
    return wholeMail;
}

void showError(QuillpostApp& app, const QString& text) {
    app.desktop().message(&app.mainForm(), StripAtNul(text), kErrorTitle);
}

QString lastTransportMessage(QuillpostApp& app) {
    QString message;
    app.transport().NMailGetMessage(message);
    return message;
}

// Shows one part of the result: picture, image control and status text for 6 seconds.
// False when the program ended during the pause.
bool showResult(QuillpostApp& app, ImageBox* MainForm::*image, const char16_t* picture,
                const QString& text) {
    MainForm& main = app.mainForm();
    main.Image1->LoadPicture(appPath(app.folder(), picture));
    ImageBox* box = main.*image;
    box->setGeometry(main.Image1->geometry());
    box->LoadPicture(appPath(app.folder(), picture));
    box->show();
    box->raise();
    main.Label2->setText(text);
    WaitMs(app.clock(), 6000);
    if (app.ending()) {
        return false;
    }
    main.Label2->clear();
    box->hide();
    return true;
}

enum class Outcome { Counted, Failed, Ended };

struct Fetched {
    Outcome outcome = Outcome::Counted;
    int count = 0;
    bool attachment = false;
};

// Steps 2 to 8 of a check with a POP3 server set: connect, log in, fetch, store, delete.
Fetched fetchAll(QuillpostApp& app) {
    Fetched result;
    NMail& transport = app.transport();
    TyakuForm& tyaku = app.tyakuForm();
    tyaku.Text13->clear();
    const int handle = transport.NMailPop3Connect(app.Pop3Server);
    if (app.ending()) {
        return {Outcome::Ended};
    }
    app.mainForm().Label2->setText(QStringLiteral("メールのチェックをしています。"));
    if (handle == -1) {
        // Reported, not shown as "no new mail": that would call a failure a success.
        showError(app, lastTransportMessage(app));
        return {Outcome::Failed};
    }

    const AccountSettings account = readAccountSettings(app.folder());
    IdPassForm& idPass = app.idPassForm();
    idPass.IdText->setText(account.AccountId);
    idPass.PassText->setText(account.AccountPassword);
    app.AccountId = account.AccountId;
    app.AccountPassword = account.AccountPassword;

    const auto close = [&] {
        transport.NMailPop3Close(handle);
        if (!app.ending()) {
            app.mainForm().Timer1->setInterval(0);
        }
    };
    if (app.AccountId.isEmpty() || app.AccountPassword.isEmpty()) {
        idPass.show();
        close();
        return result;
    }

    tyaku.MailListView->clear();
    result.count = transport.NMailPop3Authenticate(handle, app.AccountId, app.AccountPassword,
                                                   app.ApopFlag != 0);
    if (app.ending()) {
        return {Outcome::Ended};
    }
    if (result.count < 0) {
        showError(app, lastTransportMessage(app));
        close();
        result.outcome = Outcome::Failed;
        return result;
    }

    // Paths are resolved once per check: matching names without regard to case reads the
    // folders.
    ReceivedMailStore store = receivedMailStore(app.folder());
    const QString attachmentFolder = appPath(app.folder(), kAttachmentFolder);
    const QString scratchPath = appPath(app.folder(), kScratchFile);
    for (int n = 1; n <= result.count; ++n) {
        QString subject, date, from, header, body;
        transport.NMailPop3GetMailStatus(handle, n, subject, date, from, header);
        transport.NMailPop3GetMailSize(handle, n);
        transport.NMailPop3GetMail(handle, n, subject, date, from, header, body);
        if (app.ending()) {
            return {Outcome::Ended};
        }
        result.attachment = StripAtNul(body).contains(QStringLiteral("attachment"));

        const QString wholeMail = throughScratchFile(scratchPath, header, body);
        const int saved = transport.NMailAttachmentFileFirst(
            subject, date, from, header, body, attachmentFolder, scratchPath, wholeMail);
        transport.NMailAttachmentFileClose();
        if (saved == -5) {
            app.desktop().message(&app.mainForm(),
                                  QStringLiteral("添付ファイルをオープンできません"));
        } else if (saved == -6) {
            app.desktop().message(&app.mainForm(),
                                  QStringLiteral("分割されたメールが全て揃っていません"));
        }
        if (app.ending()) {
            return {Outcome::Ended};
        }
        QFile::remove(scratchPath);

        tyaku.Text1->setText(StripAtNul(subject));
        tyaku.Text2->setText(StripAtNul(date));
        tyaku.Text3->setText(StripAtNul(from));
        QString shownBody = StripAtNul(body);
        if (result.attachment) {
            shownBody += QStringLiteral("\r\n") + QString::fromUtf16(kAttachmentNotice);
        }
        tyaku.Text4->SetText(shownBody);
        auto* row = new QTreeWidgetItem({StripAtNul(subject), StripAtNul(from), StripAtNul(date)});
        tyaku.MailListView->addTopLevelItem(row);

        const qint16 recordNo = store.NextRecordNo();
        tyaku.Text7->setText(QString::number(tyaku.MailListView->topLevelItemCount()));
        if (!StoreReceivedMail(app, store, recordNo)) {
            // The mail stays on the server, with every one after it, for the next check.
            showError(app, QStringLiteral("受信したメールを保存できません。メールはサーバーに残して"
                                          "あります。\n") +
                               store.errorString());
            close();
            result.outcome = Outcome::Failed;
            return result;
        }
        app.CurrentRecordNo = recordNo;
        transport.NMailPop3DeleteMail(handle, n);
        if (app.ending()) {
            return {Outcome::Ended};
        }
    }
    close();
    // The list now holds only this check's mails, so row k no longer shows record k and
    // a click would show, and a delete remove, another mail: list the history afresh.
    if (result.count > 0) {
        tyaku.Fill();
    }
    return result;
}

}  // namespace

bool StoreReceivedMail(QuillpostApp& app, ReceivedMailStore& store, qint16 recordNo) {
    TyakuForm& tyaku = app.tyakuForm();
    ReceivedMailRecord record{TrimSpaces(tyaku.Text1->text()), TrimSpaces(tyaku.Text2->text()),
                              TrimSpaces(tyaku.Text3->text()), TrimSpaces(tyaku.Text4->Text()),
                              numericValue16(tyaku.Text7->text())};
    if (recordNo != store.NextRecordNo()) {
        return false;
    }
    const auto written = store.Append(record);
    if (written) {
        app.ReceivedBuffer = record;
    }
    return written.has_value();
}

void MailCheck(QuillpostApp& app) {
    Fetched fetched;
    if (!app.Pop3Server.isEmpty()) {
        fetched = fetchAll(app);
    }
    if (fetched.outcome != Outcome::Counted) {
        return;
    }
    if (fetched.attachment &&
        !showResult(app, &MainForm::Image4, u"\\メール種別画像\\4.jpg",
                    QStringLiteral("添付ファイル付きのメールです。ウイルス注意。"))) {
        return;
    }
    if (fetched.count >= 1) {
        showResult(app, &MainForm::Image3, u"\\メール種別画像\\1.jpg",
                   QString::number(fetched.count) +
                       QStringLiteral("通の新着メールが届いています。POP3を切断しました。"));
    } else if (fetched.count == 0) {
        showResult(app, &MainForm::Image5, u"\\メール種別画像\\2.jpg",
                   QStringLiteral("新着のメールはありませんでした。"));
    }
}

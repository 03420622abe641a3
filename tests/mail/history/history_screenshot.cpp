// Renders the history window in both modes, the zoom window and the address book, filled
// with sample mail, into PNG files of the folder given as the first argument.
#include <QDir>
#include <QFile>

#include "address_book/friend_form.h"
#include "app/quillpost_app.h"
#include "fake_clock.h"
#include "history/tuika_form.h"
#include "history/tyaku_form.h"
#include "screenshot.h"
#include "scripted_desktop.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"
#include "units.h"

namespace {

void storeSamples(const QString& folder) {
    ReceivedMailStore received = receivedMailStore(folder);
    received.Append({QStringLiteral("会議のお知らせ"),
                     QStringLiteral("Mon, 7 Dec 2026 09:12:00 +0900"),
                     QStringLiteral("山田 太郎 <yamada@example.jp>"),
                     QStringLiteral("お疲れさまです。\r\n明日の会議は十時からです。"), 1});
    received.Append(
        {QStringLiteral("Re: 写真を送ります"), QStringLiteral("Tue, 8 Dec 2026 18:40:00 +0900"),
         QStringLiteral("hanako@example.jp"),
         QStringLiteral("写真ありがとう。①　とてもきれいでした。\r\n\r\nまた遊びに来てね。"), 2});
    received.Append({QStringLiteral("週末の予定"), QStringLiteral("Wed, 9 Dec 2026 07:05:00 +0900"),
                     QStringLiteral("佐藤 <sato@example.jp>"),
                     QStringLiteral("土曜日は晴れるそうです。"), 3});
    SentMailStore sent = sentMailStore(folder);
    sent.Append({QStringLiteral("写真を送ります"), QStringLiteral("hanako@example.jp"),
                 QStringLiteral("先日の写真です。"), QStringLiteral("2026/12/08  12:30:15"), 1});
    sent.Append({QStringLiteral("Re:  会議のお知らせ"), QStringLiteral("yamada@example.jp"),
                 QStringLiteral("了解しました。"), QStringLiteral("2026/12/08  13:02:44"), 1});
}

}  // namespace

int main(int argc, char** argv) {
    return runScreenshotProgram(argc, argv, [](const QDir& target) {
        TempAppFolder folder;
        QDir(folder.path()).mkpath(QStringLiteral("data"));
        for (int n : {1, 3, 4, 5, 10}) {
            QFile::copy(QStringLiteral(PICTURE_FOLDER "/%1.gif").arg(n),
                        folder.file(QStringLiteral("data/%1.gif").arg(n)));
        }
        storeSamples(folder.path());
        AddressStore book = addressStore(folder.path());
        book.Append({QStringLiteral("山田　太郎") + QString(10, QChar(0x3000)), 1,
                     QStringLiteral("yamada@example.jp")});
        book.Append({QStringLiteral("花子") + QString(13, QChar(0x3000)), 1,
                     QStringLiteral("hanako@example.jp")});

        ScriptedDesktop desktop;
        FakeClock clock;
        QuillpostApp app(folder.path(), desktop, clock);

        app.HistoryMode = 1;
        TyakuForm& history = app.tyakuForm();
        history.setWindowTitle(QStringLiteral("着信履歴"));
        history.MailListView->setCurrentItem(history.MailListView->topLevelItem(1));
        history.MailListView_Click();
        history.Image11_MouseMove();
        bool ok = saveScreenshot(history, target, QStringLiteral("quillpost_history_received.png"));

        history.Picture7_MouseMove();
        history.Command2_Click();
        ok = saveScreenshot(app.tuikaForm(), target, QStringLiteral("quillpost_zoom.png")) && ok;

        app.HistoryMode = 2;
        history.setWindowTitle(QStringLiteral("送信履歴"));
        QPalette sentColours = history.MailListView->palette();
        sentColours.setColor(QPalette::Base, colorFromNumber(colorNumber(220, 245, 245)));
        history.MailListView->setPalette(sentColours);
        history.Fill();
        history.MailListView->setCurrentItem(history.MailListView->topLevelItem(0));
        history.MailListView_Click();
        ok = saveScreenshot(history, target, QStringLiteral("quillpost_history_sent.png")) && ok;

        FriendForm& friends = app.friendForm();
        friends.List1->setCurrentRow(1);
        friends.List1_MouseDown();
        ok = saveScreenshot(friends, target, QStringLiteral("quillpost_address_book.png")) && ok;
        return ok;
    });
}

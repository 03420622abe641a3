#include "receive_test.h"

#include "main_window/main_form.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "transport/nmail.h"

QByteArray plainTestMail(const QByteArray& subject, const QByteArray& body) {
    return "From: hanako@example.jp\r\nSubject: " + subject +
           "\r\nDate: Tue, 08 Dec 2026 09:00:00 +0900\r\nMIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=us-ascii\r\n\r\n" +
           body + "\r\n";
}

QByteArray testMailWithAttachment(const QByteArray& subject, const QByteArray& fileName) {
    return "From: hanako@example.jp\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
           "--B\r\nContent-Type: text/plain\r\n\r\nsee the attachment\r\n"
           "--B\r\nContent-Type: application/octet-stream\r\n"
           "Content-Disposition: attachment; filename=\"" +
           fileName + "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           QByteArray(5000, 'D').toBase64() + "\r\n--B--\r\n";
}

void ReceiveTest::useServer(const QString& host) {
    app->mainForm();
    app->transport().setTimeoutMs(1500);
    app->Pop3Server = host;
    ASSERT_TRUE(writeAccountSettings(folder.path(),
                                     {QStringLiteral("taro"), QStringLiteral("himitsu")}, true));
}

QStringList ReceiveTest::storedSubjects() const {
    QStringList subjects;
    for (const ReceivedMailRecord& record : receivedMailStore(folder.path()).ReadAll()) {
        subjects.append(record.Subject.trimmed());
    }
    return subjects;
}

void ReceiveTest::check() {
    app->mainForm().Command3_Click();
}

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "quillpost_test.h"

// A plain mail with the given subject and body.
QByteArray plainTestMail(const QByteArray& subject, const QByteArray& body);
// A mail that says "see the attachment" and carries `fileName` of 5,000 bytes.
QByteArray testMailWithAttachment(const QByteArray& subject,
                                  const QByteArray& fileName = "data.bin");

// A Quillpost run whose checks go to a test server with the account taro / himitsu.
class ReceiveTest : public QuillpostTest {
  protected:
    void useServer(const QString& host);
    QStringList storedSubjects() const;
    // A check as the receive button starts it.
    void check();
};

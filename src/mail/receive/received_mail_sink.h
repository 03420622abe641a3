#pragma once

#include <QString>

#include "store/mail_records.h"

// One received mail as the check hands it to the windows.
struct ReceivedMail {
    QString subject;
    QString date;
    QString from;
    QString body;
    // The mail's raw body (before its first NUL) holds "attachment".
    bool mentionsAttachment = false;
};

// What the receive transaction asks of the windows for each mail: the history window
// stages the mail in its boxes and list and stores the record from there.
class ReceivedMailSink {
  public:
    virtual ~ReceivedMailSink() = default;

    // Before the login: the list that will show this check's mails is emptied.
    virtual void startList() = 0;
    // Stages `mail` to be stored as record `recordNo` and returns the record that storing
    // it will write.
    virtual ReceivedMailRecord stage(const ReceivedMail& mail, qint16 recordNo) = 0;
    // Writes the staged mail as record `recordNo`. False with the reason in `error`,
    // nothing written.
    virtual bool store(qint16 recordNo, QString& error) = 0;
    // The staged mail will not be stored after all: nothing may name record `recordNo`.
    virtual void unstage(qint16 recordNo) = 0;
    // Whether the program is ending: the transaction then stops and touches nothing more.
    virtual bool ending() const = 0;
};

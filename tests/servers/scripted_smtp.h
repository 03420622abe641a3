#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include "scripted_server.h"

// A small SMTP submission server of our own (scripted_smtp.py) that can be made to offer
// STARTTLS and then to hide the offer, as an attacker on the way would, and to break the
// mail's transfer before, during or after its data. Takes any account,
// and no mail before one.
class ScriptedSmtp {
  public:
    explicit ScriptedSmtp(const QString& address = QStringLiteral("127.0.0.1"));

    bool started() const { return process_.port() > 0; }
    QString host() const { return QStringLiteral("%1:%2").arg(address_).arg(process_.port()); }

    // Whether a new session's EHLO offers STARTTLS (which is then refused): off at the start.
    void offerStartTls(bool offer);
    // The fault the next DATA meets, by its name in scripted_smtp.py; empty for none.
    void makeFault(const QString& name);
    // The mails taken, in order.
    QList<QByteArray> mails() const;
    // The lines received so far, in order, from every connection.
    QList<QByteArray> commands() const;

  private:
    QTemporaryDir dir_;
    QString address_;
    ScriptedServerProcess process_;
};

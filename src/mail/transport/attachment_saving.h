#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct MailAttachment {
    QString fileName;  // as the mail names it; made safe when saved
    QByteArray content;
};

// Writes `content` into `folder` under the safe form of `suggestedName`, numbering the
// name while a file of that name exists, so that nothing is ever overwritten. The path
// written, or an empty text when the file cannot be created (`error` then says why).
QString saveAttachment(const QString& folder, const QString& suggestedName,
                       const QByteArray& content, QString& error);

#pragma once

#include <QList>
#include <QString>

#include "transport/attachment_saving.h"

// Files sent the old way, as "begin 644 name" ... "end" blocks inside a text body.
struct UuencodedExtraction {
    QString text;  // the body without the blocks
    QList<MailAttachment> files;
};

// A block that breaks off before its "end" line stays in the text.
UuencodedExtraction extractUuencoded(const QString& text);

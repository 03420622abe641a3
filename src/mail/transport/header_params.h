#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QString>

// A structured field such as Content-Type or Content-Disposition: its value in lower case
// and its parameters, with RFC 2231 continuations and charsets, RFC 2047 words inside
// quotes, and raw 8-bit names decoded.
struct ParameterField {
    QByteArray value;
    QMap<QByteArray, QString> parameters;  // names in lower case

    QString parameter(const QByteArray& name) const { return parameters.value(name); }
};

ParameterField parseParameterField(QByteArrayView raw);

#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Encodes square pictures of up to 256 pixels as one Windows icon file: 32-bit colour with
// alpha, plus the 1-bit mask that older readers use.
QByteArray encodeIco(const QList<QImage>& sizes);

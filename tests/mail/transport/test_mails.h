#pragma once

#include <QByteArray>
#include <QString>

// Japanese sample text with the characters that trip ordinary tables: NEC (①, ㈱) and IBM
// (髙) extensions and half-width katakana.
inline const QString kJapanese = QStringLiteral("①㈱髙ｱｲｳ漢字");

// kJapanese in each charset as Windows mailers write it.
QByteArray japaneseIn(const char* charset);

QByteArray quotedPrintable(const QByteArray& bytes);

// A mail of the given header lines ("\n"-separated, turned into CR LF) and body.
QByteArray mailText(const QByteArray& headerLines, const QByteArray& body);

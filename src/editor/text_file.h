#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "line_breaks.h"

// Notepane's files: plain text in code page 932 with CR LF line ends, as the suite writes
// them; a file in UTF-8 (with or without a byte-order mark) or in UTF-16 with a byte-order
// mark, or one whose lines end with LF or CR, is read in its own encoding and line end and
// written back in them, so that opening and saving never changes a character. Text in
// memory holds the line breaks as the file writes them.

enum class TextEncoding { Cp932, Utf8, Utf8WithBom, Utf16LeWithBom, Utf16BeWithBom };

struct TextFileContent {
    QString text;
    TextEncoding encoding = TextEncoding::Cp932;
    // Bytes that are not valid in any of the encodings were read as U+FFFD: writing the
    // text back would not give the file back.
    bool damaged = false;
    LineEnd lineEnd = LineEnd::CrLf;
};

// The file's text and encoding; nullopt with a description in `error` when it cannot be
// read.
std::optional<TextFileContent> readTextFile(const QString& path, QString* error);

// The text in `encoding`; `lossless` tells whether every character could be written.
QByteArray encodeText(const QString& text, TextEncoding encoding, bool* lossless);

// Why a file could not be written, as far as the user can do something about it.
enum class WriteProblem { DiskFull, NotPermitted, Other };

struct TextWriteFailure {
    WriteProblem problem = WriteProblem::Other;
    QString reason;  // the system's words
};

// Creates or replaces the file with `bytes`, whole or not at all: a failure leaves the old
// file byte for byte (a replaced file keeps its mode; a link keeps pointing to it). A folder that
// refuses new files is refused too, even when it holds a writable file of that name, as the file
// could only be overwritten in place and a failure midway would cut it. False with the cause in
// `failure`.
bool writeTextFile(const QString& path, const QByteArray& bytes, TextWriteFailure* failure);

// The encoding's name, for a message.
QString encodingName(TextEncoding encoding);

#pragma once

#include <QString>

#include <optional>

// Notepane's files: plain text in code page 932 with CR LF line breaks. Text in memory
// breaks lines with "\n".

// The file's text; nullopt with a description in `error` when it cannot be read.
std::optional<QString> readTextFile(const QString& path, QString* error);

// Creates or replaces the file with `text`, its line breaks written as CR LF. Nothing is
// replaced unless the whole text was written. False with a description in `error`.
bool writeTextFile(const QString& path, const QString& text, QString* error);

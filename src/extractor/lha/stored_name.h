#pragma once

#include <QString>

// An entry name read with libarchive's byte-preserving header charset (ISO-8859-1), turned
// into the Japanese name it stands for. Each character up to U+00FF is one stored byte of
// code page 932. libarchive has already turned the separators 0x5C and 0xFF into "/", and
// with them the second byte 0x5C of double-byte characters such as ソ, 表 or 能; since "/"
// is never a valid second byte, such a pair is put back. A name holding characters beyond
// U+00FF came from a Unicode or code-page header and is returned as it is.
QString decodeStoredName(const QString& latin1Name);

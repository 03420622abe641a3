#include "stored_name.h"

#include "cp932.h"

QString decodeStoredName(const QString& latin1Name) {
    QByteArray bytes;
    bytes.reserve(latin1Name.size());
    for (QChar c : latin1Name) {
        if (c.unicode() > 0xFF) {
            return latin1Name;
        }
        bytes.append(static_cast<char>(c.unicode()));
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (isCp932LeadByte(static_cast<unsigned char>(bytes.at(i))) && i + 1 < bytes.size()) {
            ++i;
            if (bytes.at(i) == '/') {
                bytes[i] = '\\';
            }
        }
    }
    return decodeCp932(bytes);
}

#include "private_profile.h"

#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <QFile>
#include <QSaveFile>

#include "cp932.h"

namespace {

constexpr int kValueBytes = 255;

// Loads the file when it exists; a missing or unreadable file is an empty INI.
void load(CSimpleIniA& ini, const QString& path) {
    ini.SetSpaces(false);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = file.readAll();
    ini.LoadData(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QByteArray unquoted(QByteArray value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

QByteArray cutAtCharacter(const QByteArray& bytes, int limit) {
    qsizetype kept = 0;
    while (kept < bytes.size()) {
        const qsizetype next =
            kept + (isCp932LeadByte(static_cast<unsigned char>(bytes[kept])) ? 2 : 1);
        if (next > limit) {
            break;
        }
        kept = next;
    }
    return bytes.left(kept);
}

// The raw value bytes, or nothing when the key is missing.
std::optional<QByteArray> rawValue(const QString& section, const QString& key,
                                   const QString& path) {
    CSimpleIniA ini;
    load(ini, path);
    const char* value =
        ini.GetValue(encodeCp932(section).constData(), encodeCp932(key).constData(), nullptr);
    if (value == nullptr) {
        return std::nullopt;
    }
    return unquoted(QByteArray(value));
}

}  // namespace

QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, const QString& path) {
    const auto value = rawValue(section, key, path);
    if (!value) {
        return defaultValue;
    }
    return decodeCp932(cutAtCharacter(*value, kValueBytes));
}

int GetPrivateProfileInt(const QString& section, const QString& key, int defaultValue,
                         const QString& path) {
    const auto value = rawValue(section, key, path);
    if (!value || value->isEmpty()) {
        return defaultValue;
    }
    QByteArrayView text = QByteArrayView(*value).trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text = text.sliced(2);
    }
    qint64 number = 0;
    for (char c : text) {
        const int digit = QChar::fromLatin1(c).isDigit() ? c - '0'
                          : (base == 16 && QByteArrayView("abcdefABCDEF").contains(c))
                              ? (c | 0x20) - 'a' + 10
                              : -1;
        if (digit < 0) {
            break;
        }
        number = (number * base + digit) & 0xFFFFFFFF;
    }
    return static_cast<int>(static_cast<quint32>(negative ? -number : number));
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path) {
    CSimpleIniA ini;
    load(ini, path);
    if (ini.SetValue(encodeCp932(section).constData(), encodeCp932(key).constData(),
                     encodeCp932(value).constData()) < 0) {
        return false;
    }
    std::string text;
    if (ini.Save(text) < 0) {
        return false;
    }
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(text.size() + text.size() / 8));
    for (char c : text) {
        if (c == '\n') {
            bytes.append('\r');
        }
        bytes.append(c);
    }
    // Written whole and renamed into place, so a failed write keeps the old settings.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

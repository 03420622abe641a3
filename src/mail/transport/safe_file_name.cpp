#include "transport/safe_file_name.h"

#include <QByteArray>

namespace {

constexpr char16_t kForbidden[] = u"<>:\"|?*";
// Bytes of one file name on the file systems we write to.
constexpr qsizetype kMaxNameBytes = 240;
constexpr char kFallbackName[] = "attachment";

bool isDeviceName(QStringView stem) {
    static constexpr const char* kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices) {
        if (stem.compare(QLatin1String(device), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    if (stem.size() == 4 && (stem.startsWith(u"COM", Qt::CaseInsensitive) ||
                             stem.startsWith(u"LPT", Qt::CaseInsensitive))) {
        return stem[3] >= u'1' && stem[3] <= u'9';
    }
    return false;
}

// Where the extension begins, or the size when there is none.
qsizetype extensionStart(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? dot : name.size();
}

QString shortened(const QString& name) {
    if (name.toUtf8().size() <= kMaxNameBytes) {
        return name;
    }
    const qsizetype dot = extensionStart(name);
    QString extension = name.sliced(dot);
    if (extension.toUtf8().size() > kMaxNameBytes / 4) {
        extension.clear();
    }
    QString stem = name.first(dot);
    while (!stem.isEmpty() && (stem + extension).toUtf8().size() > kMaxNameBytes) {
        stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() ? 2 : 1);
    }
    return stem + extension;
}

}  // namespace

QString safeFileName(QStringView suggested) {
    const qsizetype lastSeparator =
        std::max(suggested.lastIndexOf(u'/'), suggested.lastIndexOf(u'\\'));
    QStringView base = suggested.sliced(lastSeparator + 1);
    if (base.size() >= 2 && base[1] == u':' && base[0].isLetter()) {
        base = base.sliced(2);
    }
    QString name;
    for (QChar c : base) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F ||
            (c.unicode() >= 0x80 && c.unicode() < 0xA0)) {
            continue;
        }
        name += QStringView(kForbidden).contains(c) ? QChar(u'_') : c;
    }
    while (name.startsWith(u'.') || name.startsWith(u' ')) {
        name.remove(0, 1);
    }
    while (name.endsWith(u'.') || name.endsWith(u' ')) {
        name.chop(1);
    }
    if (name.isEmpty()) {
        return QString::fromLatin1(kFallbackName);
    }
    if (isDeviceName(QStringView(name).first(extensionStart(name)))) {
        name.prepend(u'_');
    }
    return shortened(name);
}

QString numberedFileName(QStringView name, int n) {
    const qsizetype dot = extensionStart(name);
    return shortened(name.first(dot).toString() + u'(' + QString::number(n) + u')' +
                     name.sliced(dot).toString());
}

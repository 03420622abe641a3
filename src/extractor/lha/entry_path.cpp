#include "entry_path.h"

namespace {

bool startsWithDriveLetter(QStringView name) {
    return name.size() >= 2 && name.at(1) == u':' &&
           ((name.at(0) >= u'A' && name.at(0) <= u'Z') ||
            (name.at(0) >= u'a' && name.at(0) <= u'z'));
}

bool isAbsolute(QStringView name) {
    return name.startsWith(u'/') || name.startsWith(u'\\') || startsWithDriveLetter(name);
}

QList<QStringView> components(QStringView name) {
    QList<QStringView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name.at(i) == u'/' || name.at(i) == u'\\') {
            const QStringView part = name.mid(start, i - start);
            if (!part.isEmpty() && part != u".") {
                parts.append(part);
            }
            start = i + 1;
        }
    }
    return parts;
}

}  // namespace

std::optional<QStringList> safeEntryPath(QStringView name) {
    if (isAbsolute(name)) {
        return std::nullopt;
    }
    QStringList path;
    for (QStringView part : components(name)) {
        if (part == u"..") {
            return std::nullopt;
        }
        path.append(part.toString());
    }
    return path;
}

bool linkStaysInside(const QStringList& linkPath, QStringView target) {
    if (isAbsolute(target)) {
        return false;
    }
    qsizetype depth = linkPath.size() - 1;
    for (QStringView part : components(target)) {
        depth += part == u".." ? -1 : 1;
        if (depth < 0) {
            return false;
        }
    }
    return true;
}

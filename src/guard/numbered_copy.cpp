#include "numbered_copy.h"

namespace {

// Numbers the mail check gives: 2 and up, written without leading zeros.
constexpr qsizetype kMaxDigits = 9;

qsizetype extensionStart(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? dot : name.size();
}

}  // namespace

std::optional<QString> originalOfNumberedCopy(QStringView name) {
    const qsizetype dot = extensionStart(name);
    const QStringView stem = name.first(dot);
    if (!stem.endsWith(u')')) {
        return std::nullopt;
    }
    const qsizetype open = stem.lastIndexOf(u'(');
    if (open < 1) {
        return std::nullopt;
    }
    const QStringView digits = stem.sliced(open + 1, stem.size() - open - 2);
    if (digits.isEmpty() || digits.size() > kMaxDigits || digits.front() == u'0') {
        return std::nullopt;
    }
    for (QChar c : digits) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
    }
    if (digits.toInt() < 2) {
        return std::nullopt;
    }
    const QString original = stem.first(open).toString() + name.sliced(dot).toString();
    // The original's own extension must be the one the number was put before.
    if (extensionStart(original) != open) {
        return std::nullopt;
    }
    return original;
}

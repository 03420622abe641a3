#include "line_breaks.h"

#include <array>

QStringView lineEndText(LineEnd lineEnd) {
    switch (lineEnd) {
        case LineEnd::CrLf:
            return u"\r\n";
        case LineEnd::Lf:
            return u"\n";
        case LineEnd::Cr:
            return u"\r";
    }
    return u"\r\n";
}

LineEnd lineEndOf(QStringView text) {
    constexpr std::array kEnds = {LineEnd::CrLf, LineEnd::Lf, LineEnd::Cr};
    std::array<qsizetype, kEnds.size()> counts{};
    std::array<qsizetype, kEnds.size()> firstAt;
    firstAt.fill(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView found = breakAt(text, i);
        if (found.isEmpty()) {
            continue;
        }
        for (size_t end = 0; end < kEnds.size(); ++end) {
            if (found == lineEndText(kEnds[end])) {
                ++counts[end];
                firstAt[end] = qMin(firstAt[end], i);
            }
        }
        i += found.size() - 1;
    }
    size_t best = 0;
    for (size_t end = 1; end < kEnds.size(); ++end) {
        if (counts[end] > counts[best] ||
            (counts[end] == counts[best] && firstAt[end] < firstAt[best])) {
            best = end;
        }
    }
    return kEnds[best];
}

QStringView breakAt(QStringView text, qsizetype i) {
    switch (text[i].unicode()) {
        case u'\r':
            return i + 1 < text.size() && text[i + 1] == u'\n' ? u"\r\n" : u"\r";
        case u'\n':
            return u"\n";
        case 0x2028:
            return u"\u2028";
        case 0x2029:
            return u"\u2029";
        case 0xFDD0:
            return u"\uFDD0";
        case 0xFDD1:
            return u"\uFDD1";
        default:
            return {};
    }
}

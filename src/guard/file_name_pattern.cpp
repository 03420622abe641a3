#include "file_name_pattern.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <vector>

namespace {

// The pattern after Windows' translation to its lookup wildcards.
enum class Kind { Literal, Star, DosStar, DosQm, DosDot };

struct Token {
    Kind kind;
    QChar literal;
};

QList<Token> translate(const QString& pattern) {
    QList<Token> tokens;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        const QChar next = i + 1 < pattern.size() ? pattern[i + 1] : QChar();
        if (c == u'?') {
            tokens.append({Kind::DosQm, {}});
        } else if (c == u'*') {
            tokens.append({next == u'.' ? Kind::DosStar : Kind::Star, {}});
        } else if (c == u'.' && (next.isNull() || next == u'?' || next == u'*')) {
            tokens.append({Kind::DosDot, {}});
        } else {
            tokens.append({Kind::Literal, c});
        }
    }
    return tokens;
}

}  // namespace

bool matchesFileName(QStringView keyword, QStringView name) {
    // Most keywords are plain names: a whole-name comparison is all they need. A final
    // dot is a pattern of its own ("abc." finds "abc").
    if (!keyword.contains(u'*') && !keyword.contains(u'?') && !keyword.endsWith(u'.')) {
        return keyword.compare(name, Qt::CaseInsensitive) == 0;
    }
    const QList<Token> tokens = translate(keyword.toString().toCaseFolded());
    const QString text = name.toString().toCaseFolded();
    const qsizetype lastDot = text.lastIndexOf(u'.');
    const auto width = static_cast<std::size_t>(text.size() + 1);
    // reached[n]: the tokens so far can take the first n characters of the name.
    std::vector<char> reached(width, 0);
    std::vector<char> next(width, 0);
    reached[0] = 1;
    for (const Token& token : tokens) {
        std::fill(next.begin(), next.end(), 0);
        for (qsizetype n = 0; n <= text.size(); ++n) {
            if (!reached[n]) {
                continue;
            }
            const bool atEnd = n == text.size();
            const QChar c = atEnd ? QChar() : text[n];
            switch (token.kind) {
                case Kind::Literal:
                    next[n + 1] |= !atEnd && c == token.literal;
                    break;
                case Kind::Star:
                    for (qsizetype m = n; m <= text.size(); ++m) {
                        next[m] = 1;
                    }
                    break;
                case Kind::DosStar:
                    // Any run that leaves the last dot to the rest of the pattern.
                    for (qsizetype m = n; m <= text.size(); ++m) {
                        next[m] = 1;
                        if (m == lastDot) {
                            break;
                        }
                    }
                    break;
                case Kind::DosQm:
                    if (atEnd || c == u'.') {
                        next[n] = 1;
                    } else {
                        next[n + 1] = 1;
                    }
                    break;
                case Kind::DosDot:
                    if (atEnd) {
                        next[n] = 1;
                    } else if (c == u'.') {
                        next[n + 1] = 1;
                    }
                    break;
            }
        }
        reached.swap(next);
    }
    return reached[text.size()] != 0;
}

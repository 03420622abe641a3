#include "unlha_command.h"

#include <QRegularExpression>

#include "cp932.h"

namespace {

struct Token {
    QString text;
    bool quoted = false;
};

// Splits at spaces outside double quotes; quotes only group, they are not kept.
QList<Token> tokenize(const QString& line) {
    QList<Token> tokens;
    Token current;
    bool inToken = false;
    bool inQuotes = false;
    for (QChar c : line) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            current.quoted = true;
            inToken = true;
        } else if (c == u' ' && !inQuotes) {
            if (inToken) {
                tokens.append(current);
            }
            current = Token();
            inToken = false;
        } else {
            current.text.append(c);
            inToken = true;
        }
    }
    if (inToken) {
        tokens.append(current);
    }
    return tokens;
}

bool endsWithSeparator(const QString& text) {
    return text.endsWith(u'\\') || text.endsWith(u'/');
}

bool selectsAll(const QString& pattern) {
    return pattern == u"*" || pattern == u"*.*";
}

// "-d0"/"-d1" and "-y0"/"-y1"; false for any other switch.
bool applySwitch(const QString& text, UnlhaCommand& command) {
    if (text.size() != 3 || (text.at(2) != u'0' && text.at(2) != u'1')) {
        return false;
    }
    const bool on = text.at(2) == u'1';
    switch (text.at(1).toLower().unicode()) {
        case u'd':
            command.createTarget = on;
            return true;
        case u'y':
            command.overwrite = on;
            return true;
        default:
            return false;
    }
}

QString decodeLine(QByteArrayView line) {
    const QByteArrayView utf8Mark("\xEF\xBB\xBF");
    return line.startsWith(utf8Mark) ? QString::fromUtf8(line.sliced(utf8Mark.size()))
                                     : decodeCp932(line);
}

}  // namespace

std::optional<UnlhaCommand> parseUnlhaCommand(QByteArrayView commandLine) {
    const QList<Token> tokens = tokenize(decodeLine(commandLine));
    if (tokens.isEmpty() || tokens.front().text.compare(u"x", Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    UnlhaCommand command;
    QStringList arguments;
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        const Token& token = tokens.at(i);
        if (!token.quoted && token.text.startsWith(u'-')) {
            if (!applySwitch(token.text, command)) {
                return std::nullopt;
            }
        } else {
            arguments.append(token.text);
        }
    }
    if (arguments.size() < 2 || arguments.at(0).isEmpty() || !endsWithSeparator(arguments.at(1))) {
        return std::nullopt;
    }
    command.archive = arguments.at(0);
    command.targetFolder = arguments.at(1);
    if (command.targetFolder.size() > 1) {
        command.targetFolder.chop(1);
    }
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        if (!selectsAll(arguments.at(i))) {
            command.patterns.append(QString(arguments.at(i)).replace(u'\\', u'/'));
        }
    }
    return command;
}

bool selectsEntry(const UnlhaCommand& command, const QString& entryPath) {
    if (command.patterns.isEmpty()) {
        return true;
    }
    const QString fileName = entryPath.section(u'/', -1);
    for (const QString& pattern : command.patterns) {
        const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(pattern),
                                          QRegularExpression::CaseInsensitiveOption);
        if (wildcard.match(pattern.contains(u'/') ? entryPath : fileName).hasMatch()) {
            return true;
        }
    }
    return false;
}

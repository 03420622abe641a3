#include "japanese_mail.h"

#include "cp932.h"

namespace {

enum class Mode { Ascii, Jis, Kana };

void switchTo(QByteArray& out, Mode& mode, Mode wanted) {
    if (mode == wanted) {
        return;
    }
    out += wanted == Mode::Ascii ? "\x1b(B" : wanted == Mode::Jis ? "\x1b$B" : "\x1b(I";
    mode = wanted;
}

}  // namespace

QByteArray toIso2022Jp(const QString& text) {
    QByteArray out;
    Mode mode = Mode::Ascii;
    for (QChar c : text) {
        const QByteArray sjis = encodeCp932(QString(c));
        const auto s1 = static_cast<unsigned char>(sjis[0]);
        if (sjis.size() == 1 && s1 < 0x80) {
            switchTo(out, mode, Mode::Ascii);
            out += sjis;
        } else if (sjis.size() == 1) {
            switchTo(out, mode, Mode::Kana);
            out += char(s1 - 0x80);
        } else {
            switchTo(out, mode, Mode::Jis);
            const int s2 = static_cast<unsigned char>(sjis[1]);
            const int adjust = s2 < 159 ? 1 : 0;
            const int rowOffset = s1 < 160 ? 112 : 176;
            const int cellOffset = adjust ? (s2 > 127 ? 32 : 31) : 126;
            out += char(((s1 - rowOffset) << 1) - adjust);
            out += char(s2 - cellOffset);
        }
    }
    switchTo(out, mode, Mode::Ascii);
    return out;
}

QByteArray encodedWordIso2022Jp(const QString& text) {
    return "=?ISO-2022-JP?B?" + toIso2022Jp(text).toBase64() + "?=";
}

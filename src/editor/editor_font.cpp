#include "editor_font.h"

#include <QStringList>

QFont gothicFont(int points) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
                      QStringLiteral("IPAゴシック"), QStringLiteral("Noto Sans Mono CJK JP")});
    font.setPointSize(points);
    font.setStyleHint(QFont::Monospace);
    // Japanese and Latin text need no shaping; skipping it makes laying out a long text
    // (as printing one does) about three times faster.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setKerning(false);
    return font;
}

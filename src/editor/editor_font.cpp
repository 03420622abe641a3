#include "editor_font.h"

#include <QStringList>

QFont gothicFont(int points) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
                      QStringLiteral("IPAゴシック"), QStringLiteral("Noto Sans Mono CJK JP")});
    font.setPointSize(points);
    font.setStyleHint(QFont::Monospace);
    return font;
}

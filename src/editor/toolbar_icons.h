#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

// A toolbar icon: `glyph` drawn in `font` on a light rounded square.
QIcon glyphIcon(const QString& glyph, QFont font);

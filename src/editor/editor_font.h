#pragma once

#include <QFont>

// "ＭＳ ゴシック" at `points`, or the installed Japanese gothic (IPA) where that font is absent.
QFont gothicFont(int points);

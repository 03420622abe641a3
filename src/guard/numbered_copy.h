#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The mail check keeps a second attachment of a name already taken as "name(2).ext", a
// third as "name(3).ext" and so on, the number before the extension (the part from the
// last dot, unless the name starts with it). The name a numbered copy was made of, or
// nothing when `name` is not one.
std::optional<QString> originalOfNumberedCopy(QStringView name);

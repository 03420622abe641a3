#pragma once

#include <QImage>
#include <QList>
#include <QString>

// The icons under which the desktop lists the four programs, in the house style: a letter
// with a quill for Quillpost, a note with a pencil for Notepane, a shield for Holdfast and
// a parcel for Arcopen.
struct ProgramIcon {
    QString name;  // the icon's name in the desktop's icon theme
    QImage image;
};

// Every program's icon at every side the desktop entries offer.
QList<ProgramIcon> programIcons(int side);

// The sides of the icons, as hicolor theme folders hold them.
inline constexpr int programIconSides[] = {48, 128, 256};

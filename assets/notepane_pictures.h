#pragma once

#include <QImage>

// Notepane's floating picture. Each frame is shown by OR-ing the mask onto the background
// (white where the character stands, black elsewhere) and then AND-ing the strip (the
// character on white), so the background shows through wherever the mask is black.
struct NotepaneAnimation {
    QImage strip;  // the character, see-through around it: written on exact white
    QImage mask;
};

QImage notepaneBackground();
NotepaneAnimation notepaneAnimation();

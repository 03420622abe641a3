#pragma once

#include <QImage>
#include <QList>

#include "picture_set.h"

// All pictures on one page, small ones enlarged, each named, for checking them by eye.
QImage contactSheet(const QList<PictureFile>& files);

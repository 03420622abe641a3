#pragma once

#include <QImage>

// Arcopen's drop target: a parcel that opens when an archive is dropped on it.
QImage arcopenCharacter();

#pragma once

#include <QImage>

// Background picture `number` (1 … 10) of the main window: family, child and pet scenes.
QImage backgroundScene(int number);

#pragma once

#include <QColor>

class QWidget;

// Paints a control's own background in `colour` (a frame, a label, a window).
void fillBackground(QWidget* widget, const QColor& colour);

// The same for a text box or a frame of text boxes: the text area takes the colour too.
void fillTextBackground(QWidget* widget, const QColor& colour);

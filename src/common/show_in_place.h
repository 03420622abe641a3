#pragma once

#include <QMargins>

class QSize;
class QWidget;

// What the window system's frame adds around a window's client area on each side; none
// while the window has no frame (not yet shown, or a platform without decorations).
QMargins frameMargins(const QWidget& window);

// Moves `toShow` to the top-left position of `toHide`, shows it and hides `toHide`.
void ShowInPlace(QWidget& toShow, QWidget& toHide);

// Shows `toShow` centred over `owner` and in front of it, where the user is looking.
void ShowOver(QWidget& toShow, const QWidget& owner);

// Places a window of outer size `outer` in the middle of its screen's free area.
void centreOnScreen(QWidget& window, QSize outer);

// Moves a shown window of outer size `outer` only as far as needed to lie within its
// screen's free area; where it is larger, its caption stays in reach.
void keepOnScreen(QWidget& window, QSize outer);

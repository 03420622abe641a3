#pragma once

class QWidget;

// Moves `toShow` to the top-left position of `toHide`, shows it and hides `toHide`.
void ShowInPlace(QWidget& toShow, QWidget& toHide);

// Shows `toShow` centred over `owner` and in front of it, where the user is looking.
void ShowOver(QWidget& toShow, const QWidget& owner);

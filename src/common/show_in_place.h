#pragma once

class QWidget;

// Moves `toShow` to the top-left position of `toHide`, shows it and hides `toHide`.
void ShowInPlace(QWidget& toShow, QWidget& toHide);

#pragma once

#include <QSize>

// Pixel sizes of the pictures, as the windows show them (15 twips to the pixel).
namespace sizes {
// The main window's large picture and the mail-kind pictures: 4575 × 3375 twips.
inline constexpr QSize mainPicture{305, 225};
// The picture buttons of the compose window's button bar.
inline constexpr QSize composeButton{48, 48};
// The four picture buttons of the history window, in a bar 1455 twips high that also
// holds a caption above and "Click" below each picture.
inline constexpr QSize historyButton{56, 56};
// Notepane's floating picture: a background and a strip of six frames with its mask.
inline constexpr QSize notepaneBack{97, 138};
inline constexpr QSize notepaneFrame{70, 80};
inline constexpr int notepaneFrames = 6;
// Arcopen's drop target: 1920 × 1920 twips.
inline constexpr QSize arcopenCharacter{128, 128};
// The sides held in each button icon of the main window.
inline constexpr int iconSides[] = {16, 24, 32, 48, 64};
}  // namespace sizes

#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <array>

#include "app/quillpost_form.h"

// The background colour dialog: three sliders mix the main window's colour, which follows
// every move; unloading saves the three values in "ini.ini".
class BackColorForm : public QuillpostForm {
    Q_OBJECT

  public:
    explicit BackColorForm(QuillpostApp& app);

    // Slider range and steps; a tick every 26 positions (the maximum divided by ten).
    static constexpr int kMaximum = 255;
    static constexpr int kSmallStep = 1;
    static constexpr int kLargeStep = 10;
    static constexpr int kTickInterval = 26;

    // Sliders set from "ini.ini"; a value outside 0–255 there is brought to the nearest end.
    void Form_Load();
    // Any slider moved: the main window takes the colour and the value boxes follow.
    void Slider_Change(int index);
    // Saves the value boxes to "ini.ini".
    void Form_Unload();

    std::array<QSlider*, 3> Slider;
    QLabel* ScaleLabel;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;

  protected:
    void closeEvent(QCloseEvent* event) override;
};

#pragma once

#include <QProxyStyle>

class QApplication;

// The application's style with a focus frame a keyboard user sees on any background: a
// 2-pixel ring, dark outside and white inside, laid over the edge of the control that has
// the keyboard focus (over a list's or a text area's contents too). Everything else is drawn
// as by the style it wraps.
class VisibleFocusStyle final : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// Wraps the application's current style in a VisibleFocusStyle, keeping its palette, and
// lays the ring over whichever control takes the keyboard focus from then on.
void installVisibleFocus(QApplication& application);

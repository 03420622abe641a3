#include "visible_focus_style.h"

#include <QApplication>
#include <QFocusFrame>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace {

// Moves one focus frame to each control that takes the keyboard focus. The frame lives
// among the control's siblings, so a window closing may delete it: it is made again then.
class FocusRingTracker : public QObject {
  public:
    explicit FocusRingTracker(QObject* parent) : QObject(parent) {}

    void follow(QWidget* now) {
        const bool takesFocus = now != nullptr && !now->isWindow() &&
                                (now->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        if (!takesFocus) {
            if (frame_) {
                frame_->setWidget(nullptr);
            }
            return;
        }
        if (!frame_) {
            frame_ = new QFocusFrame(now);
        }
        frame_->setWidget(now);
    }

  private:
    QPointer<QFocusFrame> frame_;
};

}  // namespace

void VisibleFocusStyle::drawControl(ControlElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (element != CE_FocusFrame) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QRect& rect = option->rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(QColor(0, 0, 0), 1));
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->setPen(QPen(QColor(255, 255, 255), 1));
    painter->drawRect(rect.adjusted(1, 1, -2, -2));
    painter->restore();
}

int VisibleFocusStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                   const QWidget* widget) const {
    // The ring lies on the control's own edge, never over its neighbours.
    if (metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin) {
        return 0;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int VisibleFocusStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                 QStyleHintReturn* returnData) const {
    if (hint == SH_FocusFrame_AboveWidget) {
        return 1;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void installVisibleFocus(QApplication& application) {
    QStyle* base = QStyleFactory::create(application.style()->name());
    const QPalette palette = QApplication::palette();
    auto* style = new VisibleFocusStyle(base);
    application.setStyle(style);
    QApplication::setPalette(palette);
    // Going with the style, so that the ring stops once another style replaces it.
    auto* tracker = new FocusRingTracker(style);
    QObject::connect(&application, &QApplication::focusChanged, tracker,
                     [tracker](QWidget*, QWidget* now) { tracker->follow(now); });
}

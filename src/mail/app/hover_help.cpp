#include "app/hover_help.h"

#include <QEvent>
#include <QWidget>

namespace {

class HideOnLeave : public QObject {
  public:
    explicit HideOnLeave(QWidget& helpBox) : QObject(&helpBox), helpBox_(helpBox) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Leave) {
            helpBox_.hide();
        }
        return false;
    }

  private:
    QWidget& helpBox_;
};

}  // namespace

void hideHelpOnLeave(QWidget& helpBox, std::initializer_list<QWidget*> sources) {
    auto* filter = new HideOnLeave(helpBox);
    for (QWidget* source : sources) {
        source->installEventFilter(filter);
    }
}

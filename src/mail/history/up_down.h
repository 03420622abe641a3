#pragma once

#include <QToolButton>
#include <QWidget>

// An up-down control: two arrow buttons, one above the other, with no value of its own.
class UpDown : public QWidget {
    Q_OBJECT

  public:
    explicit UpDown(QWidget* parent = nullptr);

    QToolButton* UpButton;
    QToolButton* DownButton;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

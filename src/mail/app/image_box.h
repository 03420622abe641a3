#pragma once

#include <QLabel>

// A picture control: shows a picture file stretched to its size. A missing or unreadable
// file leaves it empty; loading never fails.
class ImageBox : public QLabel {
    Q_OBJECT

  public:
    explicit ImageBox(QWidget* parent = nullptr);

    void LoadPicture(const QString& path);
    // The file last loaded, empty when none or when it could not be read.
    const QString& picturePath() const { return picturePath_; }
    // Lets the picture be reached with Tab and pressed with Enter or Space, as a button is;
    // `name` is what a screen reader says. A mouse click still leaves the focus where it was.
    void actAsButton(const QString& name);

  signals:
    void mouseMoved();
    void rightClicked(const QPoint& globalPos);
    void clicked();

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString picturePath_;
    bool leftPressed_ = false;
};

#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

#include "lha_module.h"

class Desktop;
class QMimeData;

// Arcopen's window: archives dropped on it, on the character picture or on the
// instruction are extracted each into a folder beside it named after it.
class Form1 : public QWidget {
    Q_OBJECT

  public:
    // `folder` is Arcopen's own folder: the module and the character picture lie there.
    Form1(const QString& folder, Desktop& desktop);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;

    // Shows the window and looks up the LHA module; false (after telling the user) when the
    // program must end.
    bool Form_Load();
    void Form_OLEDragDrop(const QMimeData& data);
    void Image1_OLEDragDrop(const QMimeData& data);
    void Label1_OLEDragDrop(const QMimeData& data);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void extractDropped(const QMimeData& data);
    void showCharacter();

    QString folder_;
    Desktop& desktop_;
    LhaModule module_;
};

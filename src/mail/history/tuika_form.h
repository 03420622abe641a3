#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/quillpost_form.h"
#include "app/text_box.h"
#include "history/up_down.h"

// The zoom window: the shown mail again, in a type size from 8 to 200 points.
class TuikaForm : public QuillpostForm {
    Q_OBJECT

  public:
    explicit TuikaForm(QuillpostApp& app);

    static constexpr int kSmallestSize = 8;
    static constexpr int kLargestSize = 200;
    static constexpr int kStartSize = 12;

    void Form_Load();
    void UpDown1_DownClick();
    void UpDown1_UpClick();
    // "戻る": closes the zoom window and shows the main window.
    void Command2_Click();

    QFrame* TitleBar;
    QLabel* TitleLabel;
    QLabel* SizeLabel;
    QLineEdit* Text1;
    UpDown* UpDown1;
    QPushButton* Command2;
    QLabel* SubjectLabel;
    QLineEdit* Text8;
    QLabel* SenderLabel;
    QLineEdit* Text9;
    QLabel* DateLabel;
    QLineEdit* Text10;
    QLabel* BodyLabel;
    TextBox* Text15;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void applySize(int points);
};

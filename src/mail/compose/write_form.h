#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

#include "app/image_box.h"
#include "app/quillpost_form.h"
#include "app/text_box.h"
#include "compose/limited_text_box.h"

// The compose window: recipient, subject, body, attachments, greeting templates, a
// recipient picked from the address book, bulk sending to every entry, and the fortune.
// A send hides it with its contents kept; only closing it discards them.
class WriteForm : public QuillpostForm {
    Q_OBJECT

  public:
    explicit WriteForm(QuillpostApp& app);

    // Width of the window in twips without and with the address panel, and its height.
    static constexpr int kNarrowWidth = 6855;
    static constexpr int kWideWidth = 9420;
    static constexpr int kHeight = 8310;

    void Form_Load();
    // Lists the address book's entries in List1 and notes which record each row shows.
    void LoadAddressList();

    void Image1_Click();
    void Image2_Click();
    void Command3_Click();
    void Command5_Click();
    void Command6_Click();
    void Command11_Click();
    void Command1_Click();
    void Combo1_LostFocus();
    void List1_MouseDown();
    void AttachCommand_Click();
    void Command9_Click();
    void Command10_Click();
    void Option2_Click();
    void Option1_Click();

    void Image1_MouseMove();
    void Image2_MouseMove();
    void AttachCommand_MouseMove();
    void Command9_MouseMove();
    void Command1_MouseMove();
    void Command11_MouseMove();
    void Command3_MouseMove();
    void Command5_MouseMove();
    void Command6_MouseMove();
    void BodyText_MouseMove();
    void Label6_MouseMove();
    void ButtonBar_MouseMove();

    // Shown with a mail in it that has not gone out.
    bool holdsUnsentMail() const;

    // True while a send runs: a further press of the send picture is ignored.
    bool sending() const { return sending_; }

    QFrame* ButtonBar;
    ImageBox* Image1;
    ImageBox* Image2;
    QPushButton* Command6;
    QPushButton* Command11;
    QPushButton* Command1;
    QPushButton* Command5;
    QPushButton* Command3;
    LimitedTextBox* ToText;
    QLineEdit* SubjectText;
    QComboBox* Combo1;
    QPushButton* AttachCommand;
    QPushButton* Command9;
    QPushButton* Command10;
    QLineEdit* AttachText;
    QListWidget* List2;
    QCheckBox* Check1;
    TextBox* BodyText;
    QLabel* Label6;
    QLabel* Label7;
    TextBox* Text14;
    QRadioButton* Option2;
    QRadioButton* Option1;
    QListWidget* List1;
    QLineEdit* Text1;

    // Address-book record number shown in each row of List1, plus one spare element.
    QList<qint16> RowToRecord;

    // Draws the fortune's index (1 to 12); a test replaces it with a known sequence.
    std::function<int()> drawFortune;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildLayout();
    void connectHandlers();
    void setKeyboardOrder();
    void setWidthCentred(int widthTwips);
    void setListBackground(const QColor& colour);
    void unselectOption2();
    // The template box, its line box or its drop-down list.
    bool isComboPart(const QWidget* widget) const;
    void showHelp(const QString& text);
    QString attachmentFolder() const;

    QButtonGroup* options_;
    QHash<QObject*, void (WriteForm::*)()> mouseMoveHandlers_;
    bool sending_ = false;
    // A template was picked or typed since the focus last left the template box.
    bool templateChosen_ = false;
};

#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/quillpost_form.h"
#include "compose/limited_line_box.h"

// The address book: entries of a name and a mail address in "qsmdata.data".
class FriendForm : public QuillpostForm {
    Q_OBJECT

  public:
    explicit FriendForm(QuillpostApp& app);

    // A name shorter than this is padded with ideographic spaces up to it when stored.
    static constexpr int kNameLength = 15;
    // Width of each field in a list row, in characters.
    static constexpr int kRowFieldWidth = 90;

    void Form_Load();
    // Lists the stored entries again and shows their number.
    void Reload();
    void Command1_Click();  // register
    void Command4_Click();  // delete the selected entry
    void Command3_Click();  // paste the clipboard into the address box
    void Command5_Click();  // back to the main window
    // Shows the selected entry in the boxes.
    void List1_MouseDown();

    QPushButton* Command5;
    QPushButton* Command1;
    QPushButton* Command4;
    QPushButton* Command3;
    QLabel* AddressLabel;
    LimitedLineBox* Text4;
    QLabel* NameLabel;
    LimitedLineBox* Text2;
    QLabel* CountLabel;
    LimitedLineBox* Text3;
    // One row per record; each row keeps the number of the record it shows.
    QListWidget* List1;
    QLabel* Label2;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void noSelection();
};

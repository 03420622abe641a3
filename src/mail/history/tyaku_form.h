#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include <array>

#include "app/image_box.h"
#include "app/quillpost_form.h"
#include "app/staging_box.h"
#include "app/text_box.h"
#include "compose/limited_line_box.h"

// The history window: lists the received or the sent mail (HistoryMode 1 or 2), shows the
// one clicked and acts on it. Its hidden boxes Text1–Text4 and Text7 are where the mail
// check stages a received mail before storing it.
class TyakuForm : public QuillpostForm {
    Q_OBJECT

  public:
    explicit TyakuForm(QuillpostApp& app);

    // Columns, pictures and the first filling, for the HistoryMode of the moment.
    void Form_Load();
    // Fills the list from the record file of the current HistoryMode; the boxes show the
    // last record. The main window calls it again when it opens the window for the other
    // mode.
    void Fill();
    // Lists the history afresh, as Fill does, but leaves the user's clipboard alone: for a
    // change the user did not ask for here (a mail check, a send taken back).
    void RefillInBackground();
    // Clears the system clipboard, puts Text15 on it, and takes it back trimmed.
    void PassBodyThroughClipboard();
    void Form_Resize();

    // Shows the mail of the selected row.
    void MailListView_Click();

    // The actions on the shown mail.
    void Image1_Click();     // delete it
    void Image9_Click();     // delete the whole history
    void Image11_Click();    // reply
    void Image10_Click();    // put the sender into the address book
    void Command15_Click();  // copy the selected part of the body
    void Command6_Click();   // hand to Notepane
    void Command2_Click();   // zoom

    // Hover help.
    void Image1_MouseMove();
    void Image9_MouseMove();
    void Image11_MouseMove();
    void Image10_MouseMove();
    void Command15_MouseMove();
    void Command2_MouseMove();
    void Picture7_MouseMove();
    void Text15_MouseMove();

    // Button bar.
    QFrame* Picture9;
    QPushButton* Command15;
    QPushButton* Command2;
    QPushButton* Command6;
    QLabel* CountLabel;
    QLineEdit* Text7;
    // Picture buttons, each with a caption above and "Click" below.
    QFrame* Picture7;
    ImageBox* Image9;
    ImageBox* Image1;
    ImageBox* Image11;
    ImageBox* Image10;
    std::array<QLabel*, 4> ButtonCaptions;
    std::array<QLabel*, 4> ClickLabels;
    QTreeWidget* MailListView;
    // The picture buttons' actions on the list's row, for the keyboard and a right click.
    QMenu* ListMenu;
    // Subject row.
    QFrame* Picture3;
    QLabel* SubjectRowLabel;
    LimitedLineBox* Text8;
    QLineEdit* Text9;
    QLineEdit* Text10;
    // Body; of the original control array Picture1 only element 1 exists.
    QFrame* Picture1;
    QLabel* BodyLabel;
    TextBox* Text15;
    TextBox* Text14;
    // Staging boxes of the mail check and the selection marker, out of sight.
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    StagingBox* Text4;
    QLineEdit* Text5;
    QLineEdit* Text13;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildButtonBar();
    void buildPictureButtons();
    void buildMailBoxes();
    void buildListKeys();
    // Shows the selected row's mail, as a click on it does, and runs `action` on it.
    void actOnSelectedRow(void (TyakuForm::*action)());
    void showHelp(const QString& text);
    void fill(bool throughClipboard);
    // Record number of the list's selected row, 0 when none is selected.
    qint16 selectedRowNo() const;
    // Marks record n of the mode's file deleted with the shared buffer and compacts the
    // file, or leaves the file as it was; a failure is reported to the user.
    void deleteRecord(qint16 n);
};

#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>

#include "attachment_sweep.h"
#include "file_list.h"
#include "folder_list.h"
#include "keyword_record.h"
#include "local_file_browser.h"

class Desktop;

// Holdfast's only window: browse and view files, keep the list of harmful attachment
// names, and sweep the attachment folder of files with those names.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    // The top of the scrolling caption, in twips: it climbs from the start to the top of
    // the picture view in steps, then starts again.
    static constexpr int kCaptionStartTop = 1920;
    static constexpr int kCaptionEndTop = 120;
    static constexpr int kCaptionStep = 10;
    static constexpr int kMaxKeywords = 50;

    Form1(QString folder, Desktop& desktop, QWidget* parent = nullptr);

    QComboBox* Drive1;
    FolderList* Dir1;
    FileList* File1;
    QLabel* FileCountLabel;
    QLineEdit* Text1;
    QLabel* Image1;
    QLabel* Label2;
    LocalFileBrowser* WebBrowser1;
    QPlainTextEdit* Text3;
    QPushButton* Command1;
    QLineEdit* Text2;
    QPushButton* Command4;
    QGroupBox* Frame1;
    std::array<QLabel*, 2> Label4;
    QLabel* Label3;
    QLineEdit* Text5;
    QPushButton* Command6;
    QPushButton* Command3;
    QListWidget* List1;
    QPushButton* Command2;
    QLabel* KeywordCountLabel;
    QLineEdit* Text6;
    QPushButton* Command5;
    QTimer* Timer1;
    // The fifty keyword slots of the last sweep.
    KeywordSlots Text4;

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Timer1_Timer();

    int label2Top() const { return label2Top_; }

  private:
    void buildControls();
    void placeLabel2(int top);
    QString attachmentFolder() const;
    // The arrow keys show each file as a click does; a file the viewer cannot show waits for
    // Enter (`mayAsk` false), so moving through the list never stops on a question.
    void showCurrentFile(bool mayAsk);
    void showFile(const QString& path, bool mayAsk);
    void offerOtherFile(const QString& path);
    // False, after telling it, when the keyword list is there but cannot be read.
    bool keywordListReadable();
    void reportFailure(const QString& what, const QString& detail);

    QString folder_;
    Desktop& desktop_;
    KeywordStore keywords_;
    int label2Top_ = kCaptionStartTop;
    int driveIndex_ = -1;
    qint16 helpClicks_ = 0;
};

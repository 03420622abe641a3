#pragma once

#include <QAction>
#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <array>

#include "app/image_box.h"
#include "app/quillpost_form.h"

class OptionForm;

// Quillpost's main window: the large picture, the six picture buttons, status line, clock,
// help line and menus. Unloading it ends the program.
class MainForm : public QuillpostForm {
    Q_OBJECT

  public:
    explicit MainForm(QuillpostApp& app);

    // Height of the window in twips: normal, and with the help line uncovered.
    static constexpr int kNormalHeight = 6075;
    static constexpr int kExpandedHeight = 7200;
    static constexpr int kWidth = 7800;

    // Start-up: pictures, saved colour, compose window, settings, transport, and the
    // options dialog when no POP3 server is set.
    void Form_Load();
    // Moving the pointer over the bare window hides the help line again.
    void Form_MouseMove();

    void Command3_Click();
    void Command4_Click();
    void Command2_Click();
    void Command6_Click();
    void Command8_Click();
    void Command5_Click();

    void Command2_MouseMove();
    void Command3_MouseMove();
    void Command4_MouseMove();
    void Command5_MouseMove();
    void Command6_MouseMove();
    void Command8_MouseMove();
    void Image1_MouseMove();
    // Only the right button opens the popup menu, at `globalPos`.
    void Image1_MouseDown(Qt::MouseButton button, const QPoint& globalPos);

    void Timer1_Timer();
    void Timer2_Timer();

    void mnuID_Click();
    void mnExit_Click();
    void mnOption_Click();
    // mnu1 … mnu10: background picture `n` into the large picture.
    void mnuImage_Click(int n);
    void mnuRe_Click();
    void mnuColor_Click();
    void mnuIDPASS_Click();
    void mnuadoress_Click();
    void mnumeiwaku_Click();
    void mnulpkaito_Click();
    void mnulphaa_Click();
    void mnukai_Click();
    void mnua_Click();
    void mnuhomepage_Click();

    // The background colour and the targets that follow it: the window, Label1 elements
    // 0, 1, 2, 4, 5 and 9, Label3 and the fill of Shape1(1).
    void setBackColor(const QColor& colour);
    QColor backColor() const;

    // True while a mail check or the slide show runs; a second start is ignored.
    bool mailCheckRunning() const { return mailCheckRunning_; }
    bool slideShowRunning() const { return slideShowRunning_; }

    // The vendor's home page opened by mnuhomepage.
    static constexpr char kHomePage[] = "https://www.example.jp/quill-koubou/";

    ImageBox* Image1;
    ImageBox* Image2;
    ImageBox* Image3;
    ImageBox* Image4;
    ImageBox* Image5;
    std::array<QFrame*, 2> Shape1;
    QFrame* Shape2;
    QToolButton* Command3;
    QToolButton* Command4;
    QToolButton* Command6;
    QToolButton* Command8;
    QToolButton* Command2;
    QToolButton* Command5;
    // Elements 0–5 and 9; 6 to 8 do not exist and stay null.
    std::array<QLabel*, 10> Label1{};
    QLineEdit* Text1;
    QFrame* Picture1;
    QLabel* Label2;
    QLabel* Label3;
    QTimer* Timer1;
    QTimer* Timer2;

    QMenuBar* menuBar;
    QMenu* mnFile;
    // Receiving and composing from the keyboard, with the shortcuts shown in the menu.
    QAction* mnuReceive;
    QAction* mnuCompose;
    QAction* mnuline11;
    QAction* mnuID;
    QAction* mnuline12;
    QAction* mnExit;
    QMenu* mnOptionMenu;
    QAction* mnOption;
    QMenu* mnuBac;
    QAction* mnu1;
    QAction* mnu2;
    QAction* mnu3;
    QAction* mnu4;
    QAction* mnu5;
    QAction* mnu6;
    QAction* mnu7;
    QAction* mnu8;
    QAction* mnu9;
    QAction* mnu10;
    QAction* mnuRe;
    QAction* mnuline10;
    QAction* mnuColor;
    QMenu* mnupopup;
    QAction* mnuIDPASS;
    QAction* mnuline15;
    QAction* mnuadoress;
    QAction* mnuline3;
    QAction* mnumeiwaku;
    QAction* mnuline4;
    QAction* mnulpkaito;
    QAction* mnulphaa;
    QMenu* mnuakai;
    QAction* mnukai;
    QAction* mnua;
    QMenu* mnuHP;
    QAction* mnuhomepage;

    // The large picture back to the background last chosen, after a check with no result.
    void showBackground();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void createControls();
    void createMenus();
    void placeTwips(QWidget* control, int left, int top, int width, int height);
    void setHeightTwips(int twips);
    void placeBottomLines();
    void showHelp(const QString& text);
    // Starts a companion program by its path literal; a missing one is named in a message.
    void startCompanion(QStringView literal, const QString& name);
    void showHistory(qint16 mode, const QString& caption);
    void setBackground(const QString& path);
    // Whether a compose or reply window holds a mail the end of the program would lose.
    bool unsentMailOpen();

    bool mailCheckRunning_ = false;
    bool slideShowRunning_ = false;
    QString backgroundPath_;
    // The options dialog opened during start-up, raised above the window once it shows.
    QPointer<OptionForm> startupOptions_;
};

#include "main_window/main_form.h"

#include <QCloseEvent>
#include <QDate>
#include <QEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QTime>

#include "address_book/friend_form.h"
#include "app/backgrounds.h"
#include "app/quillpost_app.h"
#include "app_folder.h"
#include "compose/write_form.h"
#include "desktop.h"
#include "dialogs/back_color_form.h"
#include "dialogs/option_form.h"
#include "history/tyaku_form.h"
#include "mail_check/mail_check.h"
#include "routines.h"
#include "settings/settings_files.h"
#include "show_in_place.h"
#include "units.h"

namespace {

// Colour number of the sent-mail list's background: red 220, green 245, blue 245.
constexpr int kSentListColour = 16119260;

const QString kHelpCommand2 = QStringLiteral(
    "アドレス帳への登録を行います。「着信履歴」のリスト欄をクリックし、アドレス帳登録を押すと、"
    "メールアドレスが自動で表示されます。");
const QString kHelpCommand3 = QStringLiteral(
    "メールの受信を行います。下のステータスバーに、「新着メール」、「添付ファイルメール」が判別"
    "されて表示されます。また、画像の変化によってもメールの種類が分かります。");
const QString kHelpCommand4 = QStringLiteral(
    "メールを新規作成します。文頭例の選択入力が可能。また、チェックボックスをチェックすれば、"
    "あなたの親しい友人に本文プラス「占い」を送信することが出来ます。");
const QString kHelpCommand5 = QStringLiteral("添付ファイルの「開く、実行」に使用します。");
const QString kHelpCommand6 = QStringLiteral("受信したメールの履歴が残ります");
const QString kHelpCommand8 = QStringLiteral(
    "あなたが送信したメールが記録されています。適時、不要なメールの削除を行って下さい。");
const QString kHelpImage1 = QStringLiteral(
    "あなたの家族、お子さん、ペット他、画像は自由に変えられます。１枚選択、１０枚の連続再生など"
    "の機能があります。");

}  // namespace

MainForm::MainForm(QuillpostApp& app)
    : QuillpostForm(app),
      Image1(new ImageBox(this)),
      Image2(new ImageBox(this)),
      Image3(new ImageBox(this)),
      Image4(new ImageBox(this)),
      Image5(new ImageBox(this)),
      Shape1{new QFrame(this), new QFrame(this)},
      Shape2(new QFrame(this)),
      Command3(new QToolButton(this)),
      Command4(new QToolButton(this)),
      Command6(new QToolButton(this)),
      Command8(new QToolButton(this)),
      Command2(new QToolButton(this)),
      Command5(new QToolButton(this)),
      Text1(new QLineEdit(this)),
      Picture1(new QFrame(this)),
      Label2(new QLabel(Picture1)),
      Label3(new QLabel(this)),
      Timer1(new QTimer(this)),
      Timer2(new QTimer(this)) {
    setWindowTitle(QStringLiteral("クイル・ポスト"));
    setMouseTracking(true);
    createMenus();
    createControls();

    connect(Command3, &QToolButton::clicked, this, &MainForm::Command3_Click);
    connect(Command4, &QToolButton::clicked, this, &MainForm::Command4_Click);
    connect(Command2, &QToolButton::clicked, this, &MainForm::Command2_Click);
    connect(Command6, &QToolButton::clicked, this, &MainForm::Command6_Click);
    connect(Command8, &QToolButton::clicked, this, &MainForm::Command8_Click);
    connect(Command5, &QToolButton::clicked, this, &MainForm::Command5_Click);
    for (QToolButton* button : {Command2, Command3, Command4, Command5, Command6, Command8}) {
        button->installEventFilter(this);
    }
    connect(Image1, &ImageBox::mouseMoved, this, &MainForm::Image1_MouseMove);
    connect(Image1, &ImageBox::rightClicked, this,
            [this](const QPoint& globalPos) { Image1_MouseDown(Qt::RightButton, globalPos); });

    Timer1->setInterval(0);
    connect(Timer1, &QTimer::timeout, this, &MainForm::Timer1_Timer);
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &MainForm::Timer2_Timer);
    Timer2_Timer();
    Timer2->start();

    Form_Load();
}

void MainForm::placeTwips(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(twipsRect(left, top, width, height).translated(0, menuBar->height()));
}

void MainForm::createControls() {
    placeTwips(Shape1[0], 1500, 60, 4695, 3495);
    Shape1[0]->setFrameShape(QFrame::Box);
    placeTwips(Image1, 1560, 120, 4575, 3375);
    for (ImageBox* kind : {Image2, Image3, Image4, Image5}) {
        placeTwips(kind, 1560, 120, 4575, 3375);
        kind->hide();
    }

    // Two columns of picture buttons beside the picture, each with its caption below.
    struct Button {
        QToolButton* button;
        int caption;
        int left;
        int top;
    };
    const Button buttons[] = {{Command3, 2, 120, 120},   {Command4, 0, 120, 1740},
                              {Command2, 5, 120, 3360},  {Command6, 4, 6240, 120},
                              {Command8, 9, 6240, 1740}, {Command5, 1, 6240, 3360}};
    const QString captions[] = {QStringLiteral("新規作成"), QStringLiteral("添付ファイル"),
                                QStringLiteral("受信"),     QStringLiteral("添付検索用"),
                                QStringLiteral("着信履歴"), QStringLiteral("アドレス帳登録")};
    for (int i = 0; i < 6; ++i) {
        Label1[i] = new QLabel(captions[i], this);
    }
    Label1[9] = new QLabel(QStringLiteral("送信履歴"), this);
    for (const Button& b : buttons) {
        placeTwips(b.button, b.left + 180, b.top, 1080, 1080);
        b.button->setIconSize(b.button->size() * 3 / 4);
        placeTwips(Label1[b.caption], b.left, b.top + 1110, 1440, 270);
        Label1[b.caption]->setAlignment(Qt::AlignCenter);
    }
    // The search caption keeps a colour of its own under the attachment caption.
    placeTwips(Label1[3], 6240, 4740, 1440, 270);
    Label1[3]->setAlignment(Qt::AlignCenter);
    fillBackground(Label1[3], QColor(255, 255, 225));

    // The clock panel under the picture, with the lamp that blinks during a check.
    placeTwips(Shape1[1], 1560, 3660, 4575, 1380);
    Shape1[1]->setFrameShape(QFrame::Box);
    placeTwips(Shape2, 1800, 4230, 240, 240);
    Shape2->setFrameShape(QFrame::Box);
    fillBackground(Shape2, QColor(0, 160, 0));
    placeTwips(Text1, 2280, 4140, 3600, 420);
    Text1->setReadOnly(true);
    Text1->setFrame(false);
    Text1->setAlignment(Qt::AlignCenter);
    QFont clockFont = Text1->font();
    clockFont.setPointSizeF(clockFont.pointSizeF() * 1.3);
    Text1->setFont(clockFont);

    // The status line ends the normal window and the help line lies just below it; both
    // are placed against the frame once it is known (placeBottomLines).
    Picture1->setGeometry(twipsRect(0, kNormalHeight - 435, kWidth, 375));
    Picture1->setFrameShape(QFrame::Panel);
    Picture1->setFrameShadow(QFrame::Sunken);
    fillBackground(Picture1, QColor(240, 240, 240));
    Label2->setGeometry(twipsRect(90, 30, kWidth - 180, 315));

    Label3->setGeometry(twipsRect(120, kNormalHeight + 45, kWidth - 240, 1020));
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The shapes are drawn behind everything else.
    Shape1[1]->lower();
    Shape1[0]->lower();
}

void MainForm::Form_Load() {
    const QString& folder = app_.folder();
    setBackground(appPath(folder, u"\\背景画像\\1.jpg"));
    Image3->LoadPicture(appPath(folder, u"\\メール種別画像\\1.jpg"));
    Image5->LoadPicture(appPath(folder, u"\\メール種別画像\\2.jpg"));
    Image2->LoadPicture(appPath(folder, u"\\メール種別画像\\3.jpg"));
    Image4->LoadPicture(appPath(folder, u"\\メール種別画像\\4.jpg"));
    const struct {
        QToolButton* button;
        const char16_t* icon;
    } icons[] = {{Command3, u"\\ico\\2.ico"}, {Command4, u"\\ico\\1.ico"},
                 {Command2, u"\\ico\\3.ico"}, {Command6, u"\\ico\\5.ico"},
                 {Command8, u"\\ico\\6.ico"}, {Command5, u"\\ico\\7.ico"}};
    for (const auto& icon : icons) {
        icon.button->setIcon(QIcon(appPath(folder, icon.icon)));
        icon.button->setEnabled(true);
        icon.button->show();
    }

    BackColorForm& colours = app_.backColorForm();
    const int red = colours.Slider[0]->value();
    const int green = colours.Slider[1]->value();
    const int blue = colours.Slider[2]->value();
    setBackColor(QColor(red, green, blue));
    colours.Text1->setText(QString::number(red));
    colours.Text2->setText(QString::number(green));
    colours.Text3->setText(QString::number(blue));

    setHeightTwips(kNormalHeight);
    app_.writeForm().Check1->setChecked(false);

    const ServerSettings settings = readServerSettings(folder);
    app_.SmtpServer = settings.SmtpServer;
    app_.Pop3Server = settings.Pop3Server;
    app_.MailAddress = settings.MailAddress;
    app_.ApopFlag = settings.ApopFlag;

    app_.transport().NMailInitializeWinSock();
    app_.transport().NMailSetOption(1, 8192);

    if (app_.Pop3Server.isEmpty()) {
        startupOptions_ = &app_.optionForm();
        startupOptions_->show();
    }
}

void MainForm::setBackground(const QString& path) {
    backgroundPath_ = path;
    Image1->LoadPicture(path);
}

void MainForm::showBackground() {
    Image1->LoadPicture(backgroundPath_);
}

bool MainForm::unsentMailOpen() {
    // A reply window is unloaded once its mail has gone; a loaded one still holds it.
    return app_.isBackFormLoaded() ||
           (app_.isWriteFormLoaded() && app_.writeForm().holdsUnsentMail());
}

void MainForm::closeEvent(QCloseEvent* event) {
    // Closing this window ends the program and every window with it.
    if (!app_.ending() && unsentMailOpen() &&
        app_.desktop().message(this,
                               QStringLiteral("送信していないメールがあります。"
                                              "終了するとそのメールは失われます。"
                                              "終了しますか？"),
                               QStringLiteral("確認"), Desktop::Buttons::YesNo,
                               Desktop::Icon::Question) != Desktop::Answer::Yes &&
        !app_.ending()) {
        event->ignore();
        return;
    }
    QuillpostForm::closeEvent(event);
}

void MainForm::showEvent(QShowEvent* event) {
    QuillpostForm::showEvent(event);
    // Left to the window system, the window may open where its help line would reach
    // below the screen.
    if (!testAttribute(Qt::WA_Moved)) {
        centreOnScreen(*this, QSize(twipsToPixels(kWidth), twipsToPixels(kExpandedHeight)));
    }
    if (startupOptions_.isNull()) {
        return;
    }
    // Opened while the window was loading, the dialog would otherwise end up beneath it.
    const QPointer<OptionForm> dialog = startupOptions_;
    startupOptions_.clear();
    QTimer::singleShot(0, dialog, [this, dialog] {
        dialog->move(frameGeometry().center() - dialog->rect().center());
        dialog->raise();
        dialog->activateWindow();
    });
}

void MainForm::setHeightTwips(int twips) {
    // The heights are the window's outer ones, frame included.
    const QSize outer(twipsToPixels(kWidth), twipsToPixels(twips));
    fixOuterSize(outer);
    if (isVisible()) {
        keepOnScreen(*this, outer);
    }
}

void MainForm::resizeEvent(QResizeEvent* event) {
    placeBottomLines();
    QuillpostForm::resizeEvent(event);
}

void MainForm::placeBottomLines() {
    // The frame takes its height from the outer one: the lines move up by it, so that the
    // status line still ends the normal window and the help line fits the expanded one.
    const QMargins frame = frameMargins(*this);
    const int normalBottom = twipsToPixels(kNormalHeight) - frame.top() - frame.bottom();
    Picture1->move(0, normalBottom - twipsToPixels(435));
    Label3->move(Label3->x(), normalBottom + twipsToPixels(45));
}

void MainForm::setBackColor(const QColor& colour) {
    fillBackground(this, colour);
    // Captions stay legible on a dark colour (black is what a first start gives).
    const QColor text = colour.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    for (QLabel* label :
         {Label1[0], Label1[1], Label1[2], Label1[4], Label1[5], Label1[9], Label3}) {
        fillBackground(label, colour);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, text);
        label->setPalette(palette);
    }
    fillBackground(Shape1[1], colour);
}

QColor MainForm::backColor() const {
    return palette().color(QPalette::Window);
}

void MainForm::Command3_Click() {
    if (mailCheckRunning_) {
        return;
    }
    mailCheckRunning_ = true;
    setHeightTwips(kNormalHeight);
    SetTimerInterval(*Timer1, 500);
    // The window may be closed, and deleted, while the check pauses.
    const QPointer<MainForm> self(this);
    MailCheck(app_);
    if (self.isNull() || app_.ending()) {
        return;
    }
    SetTimerInterval(*Timer1, 0);
    mailCheckRunning_ = false;
}

void MainForm::Command4_Click() {
    setHeightTwips(kNormalHeight);
    app_.writeForm().show();
}

void MainForm::Command2_Click() {
    app_.friendForm().show();
}

void MainForm::showHistory(qint16 mode, const QString& caption) {
    app_.HistoryMode = mode;
    // Loading fills the list for the mode just set; a loaded window is refilled for it.
    const bool loaded = app_.isTyakuFormLoaded();
    TyakuForm& tyaku = app_.tyakuForm();
    if (loaded) {
        tyaku.Fill();
    }
    if (mode == 2) {
        QPalette palette = tyaku.MailListView->palette();
        palette.setColor(QPalette::Base, colorFromNumber(kSentListColour));
        tyaku.MailListView->setPalette(palette);
    }
    tyaku.setWindowTitle(caption);
    tyaku.show();
    // Already open behind the main window, it comes forward with the list just asked for.
    tyaku.raise();
    tyaku.activateWindow();
}

void MainForm::Command6_Click() {
    showHistory(1, QStringLiteral("着信履歴"));
}

void MainForm::Command8_Click() {
    showHistory(2, QStringLiteral("送信履歴"));
}

void MainForm::Command5_Click() {
    startCompanion(u"\\Holdfast.exe", QStringLiteral("添付ファイル管理プログラム（Holdfast）"));
}

void MainForm::showHelp(const QString& text) {
    setHeightTwips(text.isEmpty() ? kNormalHeight : kExpandedHeight);
    if (Label3->text() != text) {
        Label3->setText(text);
    }
}

void MainForm::Form_MouseMove() {
    showHelp({});
}
void MainForm::Command2_MouseMove() {
    showHelp(kHelpCommand2);
}
void MainForm::Command3_MouseMove() {
    showHelp(kHelpCommand3);
}
void MainForm::Command4_MouseMove() {
    showHelp(kHelpCommand4);
}
void MainForm::Command5_MouseMove() {
    showHelp(kHelpCommand5);
}
void MainForm::Command6_MouseMove() {
    showHelp(kHelpCommand6);
}
void MainForm::Command8_MouseMove() {
    showHelp(kHelpCommand8);
}
void MainForm::Image1_MouseMove() {
    showHelp(kHelpImage1);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        const struct {
            QObject* button;
            void (MainForm::*handler)();
        } hovers[] = {
            {Command2, &MainForm::Command2_MouseMove}, {Command3, &MainForm::Command3_MouseMove},
            {Command4, &MainForm::Command4_MouseMove}, {Command5, &MainForm::Command5_MouseMove},
            {Command6, &MainForm::Command6_MouseMove}, {Command8, &MainForm::Command8_MouseMove}};
        for (const auto& hover : hovers) {
            if (watched == hover.button) {
                (this->*hover.handler)();
            }
        }
    }
    return QuillpostForm::eventFilter(watched, event);
}

void MainForm::mouseMoveEvent(QMouseEvent* event) {
    // The picture passes on the moves it has already answered with its own help text.
    if (childAt(event->position().toPoint()) != Image1) {
        Form_MouseMove();
    }
    QuillpostForm::mouseMoveEvent(event);
}

void MainForm::Timer1_Timer() {
    // Blackens the lamp while a check runs. Pausing here would nest a fresh pause inside
    // every pause of the check, stalling it without bound, so the tick only paints.
    fillBackground(Shape2, paletteColor(0));
}

void MainForm::Timer2_Timer() {
    const QLocale locale = QLocale::system();
    // The long time format of some locales ends with the time zone, which the clock omits.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(u't');
    Text1->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat) +
                   QStringLiteral("  ") +
                   locale.toString(QTime::currentTime(), timeFormat.trimmed()));
}

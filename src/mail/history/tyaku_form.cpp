#include "history/tyaku_form.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>

#include <algorithm>

#include "app/backgrounds.h"
#include "app/hover_help.h"
#include "app/quillpost_app.h"
#include "app_folder.h"
#include "compose/limited_line_box.h"
#include "main_window/main_form.h"
#include "units.h"

namespace {

constexpr int kWidthTwips = 7620;
constexpr int kHeightTwips = 8295;
const QColor kLightCyan(192, 255, 255);
const QColor kSilver(192, 192, 192);
const QColor kLightYellow(255, 255, 192);

const QString kImage1Help = QStringLiteral(
    "削除したいデータをリストから選択し、削除のキャラをクリックして下さい。確認メッセージの後、削"
    "除できます。");
const QString kImage9Help =
    QStringLiteral("クリックすると確認メッセージの後、すべての着信データが削除されます。");
const QString kImage11Help = QStringLiteral(
    "返信したいデータをリストから選択し、返信のキャラをクリックして下さい。宛先（アドレス）、件名"
    "、本文がコピーされた返信フォームが現れます。");
const QString kImage10Help = QStringLiteral(
    "アドレス帳に登録したいデータをリストから選択し、アドレス帳のキャラをクリックして下さい。宛先"
    "（アドレス）がコピーされたアドレス帳フォームが現れます。");
const QString kCommand15Help = QStringLiteral(
    "本文のコピーを行います。コピーしたい部分を選択して、このボタンを押して下さい。");
const QString kCommand2Help =
    QStringLiteral("文字の拡大縮小が出来る画面に移ります。内容は自動的に貼り付けられています。");

QLabel* centredLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

TyakuForm::TyakuForm(QuillpostApp& app)
    : QuillpostForm(app),
      Picture9(new QFrame(this)),
      Command15(new QPushButton(QStringLiteral("コピー"), Picture9)),
      Command2(new QPushButton(QStringLiteral("拡大フォーム"), Picture9)),
      Command6(new QPushButton(QStringLiteral("全てを選択Copy Notepane起動"), Picture9)),
      CountLabel(new QLabel(QStringLiteral("件数"), Picture9)),
      Text7(new QLineEdit(Picture9)),
      Picture7(new QFrame(this)),
      Image9(new ImageBox(Picture7)),
      Image1(new ImageBox(Picture7)),
      Image11(new ImageBox(Picture7)),
      Image10(new ImageBox(Picture7)),
      ButtonCaptions{centredLabel(QStringLiteral("一括削除"), Picture7),
                     centredLabel(QStringLiteral("削除"), Picture7),
                     centredLabel(QStringLiteral("返事を出す"), Picture7),
                     centredLabel(QStringLiteral("アドレス帳登録"), Picture7)},
      ClickLabels{centredLabel(QStringLiteral("Click"), Picture7),
                  centredLabel(QStringLiteral("Click"), Picture7),
                  centredLabel(QStringLiteral("Click"), Picture7),
                  centredLabel(QStringLiteral("Click"), Picture7)},
      MailListView(new QTreeWidget(this)),
      ListMenu(new QMenu(this)),
      Picture3(new QFrame(this)),
      SubjectRowLabel(new QLabel(QStringLiteral("Subject/From/Date"), Picture3)),
      Text8(new LimitedLineBox(60, this)),
      Text9(new QLineEdit(this)),
      Text10(new QLineEdit(this)),
      Picture1(new QFrame(this)),
      BodyLabel(new QLabel(QStringLiteral("本文"), Picture1)),
      Text15(new TextBox(this)),
      Text14(new TextBox(this)),
      Text1(new QLineEdit(this)),
      Text2(new QLineEdit(this)),
      Text3(new QLineEdit(this)),
      Text4(new StagingBox(this)),
      Text5(new QLineEdit(this)),
      Text13(new QLineEdit(this)) {
    QFont type = font();
    type.setPointSize(9);
    setFont(type);
    resize(twipsToPixels(kWidthTwips), twipsToPixels(kHeightTwips));
    move(screen()->availableGeometry().center() - rect().center());
    buildButtonBar();
    buildPictureButtons();
    buildMailBoxes();
    buildListKeys();
    Form_Load();
}

void TyakuForm::buildButtonBar() {
    Picture9->setGeometry(twipsRect(0, 0, kWidthTwips, 855));
    fillTextBackground(Picture9, kLightCyan);
    Command15->setGeometry(twipsRect(60, 180, 780, 495));
    Command2->setGeometry(twipsRect(900, 180, 1200, 495));
    Command6->setGeometry(twipsRect(2160, 180, 2760, 495));
    CountLabel->setGeometry(twipsRect(4950, 240, 435, 375));
    Text7->setGeometry(twipsRect(5400, 240, 495, 375));
    for (QPushButton* button : {Command15, Command2}) {
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }
    connect(Command15, &QPushButton::clicked, this, &TyakuForm::Command15_Click);
    connect(Command2, &QPushButton::clicked, this,
            [this] { actOnSelectedRow(&TyakuForm::Command2_Click); });
    connect(Command6, &QPushButton::clicked, this,
            [this] { actOnSelectedRow(&TyakuForm::Command6_Click); });
}

void TyakuForm::buildPictureButtons() {
    Picture7->setGeometry(twipsRect(0, 840, kWidthTwips, 1455));
    fillTextBackground(Picture7, kLightCyan);
    Picture7->setMouseTracking(true);
    Picture7->installEventFilter(this);
    const std::array<ImageBox*, 4> images{Image9, Image1, Image11, Image10};
    constexpr int kColumn = kWidthTwips / 4;
    constexpr int kPicture = 840;
    for (int i = 0; i < 4; ++i) {
        const int left = i * kColumn;
        ButtonCaptions[i]->setGeometry(twipsRect(left, 30, kColumn, 255));
        images[i]->setGeometry(twipsRect(left + (kColumn - kPicture) / 2, 300, kPicture, kPicture));
        images[i]->setCursor(Qt::PointingHandCursor);
        ClickLabels[i]->setGeometry(twipsRect(left, 1170, kColumn, 255));
    }
    connect(Image1, &ImageBox::clicked, this,
            [this] { actOnSelectedRow(&TyakuForm::Image1_Click); });
    connect(Image9, &ImageBox::clicked, this, &TyakuForm::Image9_Click);
    connect(Image11, &ImageBox::clicked, this,
            [this] { actOnSelectedRow(&TyakuForm::Image11_Click); });
    connect(Image10, &ImageBox::clicked, this,
            [this] { actOnSelectedRow(&TyakuForm::Image10_Click); });
    connect(Image1, &ImageBox::mouseMoved, this, &TyakuForm::Image1_MouseMove);
    connect(Image9, &ImageBox::mouseMoved, this, &TyakuForm::Image9_MouseMove);
    connect(Image11, &ImageBox::mouseMoved, this, &TyakuForm::Image11_MouseMove);
    connect(Image10, &ImageBox::mouseMoved, this, &TyakuForm::Image10_MouseMove);
    for (int i = 0; i < 4; ++i) {
        images[i]->actAsButton(ButtonCaptions[i]->text());
    }
    hideHelpOnLeave(*Text14, {Image9, Image1, Image11, Image10, Command15, Command2});
}

void TyakuForm::buildMailBoxes() {
    MailListView->setGeometry(twipsRect(0, 2280, 7545, 1815));
    MailListView->setRootIsDecorated(false);
    // Row k must show record k: the click and every delete address records by row.
    MailListView->setSortingEnabled(false);
    MailListView->setUniformRowHeights(true);
    MailListView->viewport()->installEventFilter(this);
    // Moving the selection with the keyboard shows the mail as a click does; a press is
    // answered by its release.
    connect(MailListView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current != nullptr && QApplication::mouseButtons() == Qt::NoButton) {
            MailListView_Click();
        }
    });

    Picture3->setGeometry(twipsRect(0, 4080, kWidthTwips, 375));
    fillTextBackground(Picture3, kSilver);
    SubjectRowLabel->setGeometry(twipsRect(60, 30, 3000, 315));
    Text8->setGeometry(twipsRect(0, 4440, 3360, 375));
    Text9->setGeometry(twipsRect(3360, 4440, 2160, 375));
    Text10->setGeometry(twipsRect(5520, 4440, 2100, 375));

    Picture1->setGeometry(twipsRect(0, 4800, kWidthTwips, 375));
    fillTextBackground(Picture1, kSilver);
    BodyLabel->setGeometry(twipsRect(60, 30, 1500, 315));
    Text15->setGeometry(twipsRect(0, 5160, 7545, 3135));
    fillTextBackground(Text15, Qt::white);
    Text15->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text15->viewport()->setMouseTracking(true);
    Text15->viewport()->installEventFilter(this);

    Text14->setGeometry(twipsRect(1440, 6960, 5175, 975));
    fillTextBackground(Text14, kLightYellow);
    Text14->setReadOnly(true);
    // The hover help is for the pointer; Tab never stops in it.
    Text14->setFocusPolicy(Qt::NoFocus);
    // Tab leaves the body for the next control; the body is where the mail is read.
    Text15->moveFocusOnTab(true);

    // The staging boxes and the selection marker stay out of sight even when the window
    // is widened past them.
    for (QWidget* hidden :
         {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3),
          static_cast<QWidget*>(Text4), static_cast<QWidget*>(Text5)}) {
        hidden->setGeometry(twipsRect(8520, 0, 1000, 300));
        hidden->hide();
    }
    Text13->setGeometry(0, 0, 0, 0);
    // Out of sight, so never a place for the focus to vanish into.
    Text13->setFocusPolicy(Qt::NoFocus);
}

void TyakuForm::buildListKeys() {
    ListMenu->addAction(QStringLiteral("削除(&D)"), this,
                        [this] { actOnSelectedRow(&TyakuForm::Image1_Click); });
    ListMenu->addAction(QStringLiteral("返事を出す(&R)"), this,
                        [this] { actOnSelectedRow(&TyakuForm::Image11_Click); });
    ListMenu->addAction(QStringLiteral("アドレス帳登録(&A)"), this,
                        [this] { actOnSelectedRow(&TyakuForm::Image10_Click); });
    ListMenu->addSeparator();
    ListMenu->addAction(QStringLiteral("一括削除(&E)"), this, &TyakuForm::Image9_Click);
    MailListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MailListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        ListMenu->popup(MailListView->viewport()->mapToGlobal(pos));
    });
    MailListView->installEventFilter(this);
}

void TyakuForm::actOnSelectedRow(void (TyakuForm::*action)()) {
    // The row may have been highlighted by a right click or left selected after an
    // action: the mail acted on is the one the row shows.
    if (selectedRowNo() >= 1) {
        MailListView_Click();
    }
    (this->*action)();
}

void TyakuForm::Form_Load() {
    MailListView->setHeaderLabels(
        {QStringLiteral("Subject"), QStringLiteral("From"), QStringLiteral("Date")});
    // The date column holds a whole date and time, received or sent; the subject takes
    // what is left.
    const int listWidth = MailListView->width();
    const int dateWidth =
        MailListView->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00  00:00:00")) +
        2 * MailListView->style()->pixelMetric(QStyle::PM_HeaderMargin) +
        MailListView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) * 4;
    const int fromWidth = listWidth / 4;
    MailListView->setColumnWidth(0, qMax(listWidth / 4, listWidth - fromWidth - dateWidth));
    MailListView->setColumnWidth(1, fromWidth);
    MailListView->setColumnWidth(2, dateWidth);
    Text14->hide();
    MainForm& main = app_.mainForm();
    main.Image2->hide();
    main.Image3->hide();
    Image1->LoadPicture(appPath(app_.folder(), u"\\data\\1.gif"));
    Image9->LoadPicture(appPath(app_.folder(), u"\\data\\3.gif"));
    Image11->LoadPicture(appPath(app_.folder(), u"\\data\\4.gif"));
    Image10->LoadPicture(appPath(app_.folder(), u"\\data\\5.gif"));
    Fill();
}

void TyakuForm::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

void TyakuForm::Form_Resize() {
    // The proportions are of the outer size, frame included, as Windows measures a window.
    const int w = frameGeometry().width();
    const int h = frameGeometry().height();
    for (QFrame* bar : {Picture1, Picture3, Picture7, Picture9}) {
        bar->resize(w, bar->height());
    }
    const int innerWidth = static_cast<int>(w * 0.99);
    MailListView->resize(innerWidth, MailListView->height());
    Text8->resize(static_cast<int>(w * 0.5), Text8->height());
    Text9->setGeometry(Text8->x() + static_cast<int>(w * 0.5), Text9->y(),
                       static_cast<int>(w * 0.3), Text9->height());
    Text10->setGeometry(Text9->x() + static_cast<int>(w * 0.3), Text10->y(),
                        static_cast<int>(w * 0.2), Text10->height());
    const int bodyHeight =
        static_cast<int>((h - Picture1->height() - Picture3->height() - Picture7->height() -
                          MailListView->height() - Text8->height()) *
                         0.83);
    // Never negative, and never past the bottom edge, where its scroll bar would be cut.
    Text15->resize(innerWidth, std::clamp(bodyHeight, 0, std::max(0, height() - Text15->y())));
}

bool TyakuForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == MailListView) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            actOnSelectedRow(&TyakuForm::Image1_Click);
            return true;
        }
        // Shift+F10 is the menu key of keyboards without one; the menu opens at the row.
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            const QRect row = MailListView->visualItemRect(MailListView->currentItem());
            ListMenu->popup(MailListView->viewport()->mapToGlobal(row.bottomLeft()));
            return true;
        }
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == Command15) {
            Command15_MouseMove();
        } else if (watched == Command2) {
            Command2_MouseMove();
        } else if (watched == Picture7) {
            Picture7_MouseMove();
        } else if (watched == Text15->viewport()) {
            Text15_MouseMove();
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == MailListView->viewport() &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // The press has already selected the row under the pointer; below the rows there
        // is nothing to show.
        if (MailListView->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            MailListView_Click();
        }
    }
    return QuillpostForm::eventFilter(watched, event);
}

void TyakuForm::showHelp(const QString& text) {
    Text14->SetText(text);
    Text14->show();
    Text14->raise();
}

void TyakuForm::Image1_MouseMove() {
    showHelp(kImage1Help);
}
void TyakuForm::Image9_MouseMove() {
    showHelp(kImage9Help);
}
void TyakuForm::Image11_MouseMove() {
    showHelp(kImage11Help);
}
void TyakuForm::Image10_MouseMove() {
    showHelp(kImage10Help);
}
void TyakuForm::Command15_MouseMove() {
    showHelp(kCommand15Help);
}
void TyakuForm::Command2_MouseMove() {
    showHelp(kCommand2Help);
}
void TyakuForm::Picture7_MouseMove() {
    Text14->hide();
}
void TyakuForm::Text15_MouseMove() {
    Text14->hide();
}

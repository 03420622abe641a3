#include "compose/write_form.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTextCursor>

#include "app/hover_help.h"
#include "app/quillpost_app.h"
#include "app_folder.h"
#include "desktop.h"
#include "main_window/main_form.h"
#include "routines.h"
#include "send/compose_send.h"
#include "send/fortune.h"
#include "send/mail_submission.h"
#include "show_in_place.h"
#include "store/mail_records.h"
#include "units.h"

namespace {

// The body and the two lines under it, which keep to the bottom of the window.
constexpr int kBodyTop = 3330;
constexpr int kBodyHeight = 3930;
constexpr int kLeastBody = 600;
constexpr int kNoticeTop = 7320;
constexpr int kStatusTop = 7740;

// The most characters the user can type into the recipient box.
constexpr int kRecipientLength = 60;

constexpr const char16_t* kTemplates[] = {
    u"御社益々ご清祥の事とお慶び申し上げます。",
    u"平素のご愛顧誠にありがとうございます。",
    u"平素は格別のご愛顧を賜り深謝申し上げます。",
    u"いつもお世話になっております。",
    u"メールありがとうございました。確かに受け取りました。",
    u"はじめまして、突然のメールで恐縮です。",
    u"こんにちわ。はじめてメールいたします。",
    u"こんにちわ。お変わりなく、お元気ですか？",
};

const QColor kWhite(255, 255, 255);
const QColor kBulkGreen(0, 128, 0);

QLabel* caption(const QString& text, QWidget* parent, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

}  // namespace

WriteForm::WriteForm(QuillpostApp& app)
    : QuillpostForm(app),
      ButtonBar(new QFrame(this)),
      Image1(new ImageBox(this)),
      Image2(new ImageBox(this)),
      Command6(new QPushButton(QStringLiteral("クリア"), this)),
      Command11(new QPushButton(QStringLiteral("宛先貼付"), this)),
      Command1(new QPushButton(QStringLiteral("本文貼付"), this)),
      Command5(new QPushButton(QStringLiteral("元のサイズ"), this)),
      Command3(new QPushButton(QStringLiteral("アドレス帳"), this)),
      ToText(new LimitedTextBox(kRecipientLength, this)),
      SubjectText(new QLineEdit(this)),
      Combo1(new QComboBox(this)),
      AttachCommand(new QPushButton(QStringLiteral("添付File"), this)),
      Command9(new QPushButton(QStringLiteral("追加"), this)),
      Command10(new QPushButton(QStringLiteral("取り消し"), this)),
      AttachText(new QLineEdit(this)),
      List2(new QListWidget(this)),
      Check1(new QCheckBox(
          QStringLiteral("★　親しい人に占いを添付する　★ （一括送信では使用不可）"), this)),
      BodyText(new TextBox(this)),
      Label6(new QLabel(this)),
      Label7(new QLabel(this)),
      Text14(new TextBox(this)),
      Option2(new QRadioButton(QStringLiteral("一括送信"), this)),
      Option1(new QRadioButton(QStringLiteral("取消"), this)),
      List1(new QListWidget(this)),
      Text1(new QLineEdit(this)),
      drawFortune(drawFortuneFromClock),
      options_(new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("新規作成"));
    buildLayout();
    connectHandlers();
    setKeyboardOrder();
    Form_Load();
}

void WriteForm::buildLayout() {
    ButtonBar->setGeometry(twipsRect(0, 0, kNarrowWidth, 1080));
    ButtonBar->setFrameShape(QFrame::StyledPanel);
    ButtonBar->lower();
    Image1->setGeometry(twipsRect(180, 60, 600, 600));
    Image2->setGeometry(twipsRect(960, 60, 600, 600));
    caption(QStringLiteral("送信"), this, twipsRect(90, 690, 780, 300))
        ->setAlignment(Qt::AlignHCenter);
    caption(QStringLiteral("送信中止"), this, twipsRect(840, 690, 840, 300))
        ->setAlignment(Qt::AlignHCenter);
    int left = 1800;
    for (QPushButton* button : {Command3, Command5, Command1, Command11, Command6}) {
        button->setGeometry(twipsRect(left, 300, 960, 420));
        left += 1000;
    }

    const struct {
        const char16_t* text;
        int top;
    } rowLabels[] = {{u"宛先貼付", 1200}, {u"件名", 1620}, {u"首記例", 2040}, {u"占い添付", 2910}};
    for (const auto& row : rowLabels) {
        caption(QString::fromUtf16(row.text), this, twipsRect(120, row.top, 1080, 330));
    }
    ToText->setGeometry(twipsRect(1260, 1170, 5475, 390));
    // A long recipient wraps onto the lines below the one in view: a sideways bar would
    // cover the only visible line.
    ToText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SubjectText->setGeometry(twipsRect(1260, 1590, 5475, 360));
    Combo1->setGeometry(twipsRect(1260, 2010, 5475, 360));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);

    AttachCommand->setGeometry(twipsRect(120, 2430, 1020, 390));
    Command9->setGeometry(twipsRect(1170, 2430, 660, 390));
    Command10->setGeometry(twipsRect(1860, 2430, 900, 390));
    AttachText->setGeometry(twipsRect(2790, 2445, 3945, 360));
    List2->setGeometry(twipsRect(2790, 2820, 3945, 1200));

    Check1->setGeometry(twipsRect(1260, 2880, 5475, 360));
    BodyText->setGeometry(twipsRect(120, kBodyTop, 6615, kBodyHeight));
    BodyText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Label6->setGeometry(twipsRect(120, kNoticeTop, 6615, 330));
    Label6->setAutoFillBackground(true);
    QPalette cyan = Label6->palette();
    cyan.setColor(QPalette::Window, QColor(128, 255, 255));
    Label6->setPalette(cyan);
    Label7->setGeometry(twipsRect(120, kStatusTop, 6615, 330));
    Text14->setGeometry(twipsRect(240, 5640, 6375, 1500));

    Option2->setGeometry(twipsRect(7080, 120, 2160, 330));
    Option1->setGeometry(twipsRect(7080, 480, 2160, 330));
    options_->addButton(Option2);
    options_->addButton(Option1);
    caption(QStringLiteral("アドレス帳"), this, twipsRect(7080, 960, 1080, 330));
    caption(QStringLiteral("件数"), this, twipsRect(8220, 960, 480, 330));
    Text1->setGeometry(twipsRect(8700, 930, 600, 360));
    List1->setGeometry(twipsRect(7080, 1380, 2220, 6690));
    List1->setAutoFillBackground(true);

    // Raised last so that they cover the rows below them when shown.
    List2->raise();
    Text14->raise();
}

void WriteForm::setKeyboardOrder() {
    // The recipient is one line that wraps: Tab goes on to the subject. The body keeps a way
    // to type a tab.
    ToText->moveFocusOnTab(false);
    BodyText->moveFocusOnTab(true);
    // The hover help is for the pointer; Tab never stops in it.
    Text14->setFocusPolicy(Qt::NoFocus);
    // What is written comes first, then its attachments and extras, then the buttons that
    // fill or clear the boxes, then the address panel.
    QWidget* const order[] = {ToText,   SubjectText, BodyText,   Combo1,    AttachCommand,
                              Command9, Command10,   AttachText, List2,     Check1,
                              Command3, Command5,    Command1,   Command11, Command6,
                              Option2,  Option1,     List1,      Text1};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    // The template box's own line box, made last, stays at the end of the chain, where
    // Shift+Tab from the recipient would stop in it. It is moved beside its box, freed of
    // its focus proxy for the move, as setTabOrder would move the proxy instead.
    QLineEdit* templateLine = Combo1->lineEdit();
    templateLine->setFocusProxy(nullptr);
    setTabOrder(Combo1, templateLine);
    templateLine->setFocusProxy(Combo1);
}

void WriteForm::connectHandlers() {
    connect(Image1, &ImageBox::clicked, this, &WriteForm::Image1_Click);
    connect(Image2, &ImageBox::clicked, this, &WriteForm::Image2_Click);
    connect(Command3, &QPushButton::clicked, this, &WriteForm::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &WriteForm::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &WriteForm::Command6_Click);
    connect(Command11, &QPushButton::clicked, this, &WriteForm::Command11_Click);
    connect(Command1, &QPushButton::clicked, this, &WriteForm::Command1_Click);
    connect(AttachCommand, &QPushButton::clicked, this, &WriteForm::AttachCommand_Click);
    connect(Command9, &QPushButton::clicked, this, &WriteForm::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &WriteForm::Command10_Click);
    connect(Option2, &QRadioButton::clicked, this, &WriteForm::Option2_Click);
    connect(Option1, &QRadioButton::clicked, this, &WriteForm::Option1_Click);
    connect(Image1, &ImageBox::mouseMoved, this, &WriteForm::Image1_MouseMove);
    sendOnCtrlReturn(Image1, QStringLiteral("送信"), [this] { Image1_Click(); });
    connect(Image2, &ImageBox::mouseMoved, this, &WriteForm::Image2_MouseMove);

    mouseMoveHandlers_ = {
        {AttachCommand, &WriteForm::AttachCommand_MouseMove},
        {Command9, &WriteForm::Command9_MouseMove},
        {Command1, &WriteForm::Command1_MouseMove},
        {Command11, &WriteForm::Command11_MouseMove},
        {Command3, &WriteForm::Command3_MouseMove},
        {Command5, &WriteForm::Command5_MouseMove},
        {Command6, &WriteForm::Command6_MouseMove},
        {BodyText->viewport(), &WriteForm::BodyText_MouseMove},
        {Label6, &WriteForm::Label6_MouseMove},
        {ButtonBar, &WriteForm::ButtonBar_MouseMove},
    };
    for (QObject* watched : mouseMoveHandlers_.keys()) {
        static_cast<QWidget*>(watched)->setMouseTracking(true);
        watched->installEventFilter(this);
    }
    hideHelpOnLeave(*Text14, {Image1, Image2, AttachCommand, Command9, Command1, Command11,
                              Command3, Command5, Command6});
    // Only a template the user picks or types on this visit may take the body's place.
    connect(Combo1, &QComboBox::activated, this, [this] { templateChosen_ = true; });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { templateChosen_ = true; });
    // Leaving the template box means moving on to another control of this window: opening
    // its own list, a message box, or the window losing the focus is no such move.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (isComboPart(old) && now != nullptr && now->window() == this && !isComboPart(now)) {
            Combo1_LostFocus();
        }
    });
    List1->viewport()->installEventFilter(this);
}

bool WriteForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (const auto handler = mouseMoveHandlers_.value(watched)) {
            (this->*handler)();
        }
    } else if (event->type() == QEvent::MouseButtonPress && watched == List1->viewport()) {
        // The row under the pointer is the chosen one, as the press itself selects it.
        const auto* press = static_cast<QMouseEvent*>(event);
        if (QListWidgetItem* item = List1->itemAt(press->position().toPoint())) {
            List1->setCurrentItem(item);
        }
        List1_MouseDown();
    }
    return QuillpostForm::eventFilter(watched, event);
}

void WriteForm::Form_Load() {
    resizeOuter(QSize(twipsToPixels(kNarrowWidth), twipsToPixels(kHeight)));
    unselectOption2();
    Text14->hide();
    Command9->setEnabled(false);
    List2->hide();
    Check1->setChecked(false);
    Image1->LoadPicture(appPath(app_.folder(), u"\\ico2\\1.gif"));
    Image2->LoadPicture(appPath(app_.folder(), u"\\ico2\\2.gif"));
    for (const char16_t* greeting : kTemplates) {
        Combo1->addItem(QString::fromUtf16(greeting));
    }
    // An editable list shows its first entry unless told otherwise; the box starts empty.
    Combo1->setCurrentIndex(-1);
    LoadAddressList();
    // A new mail starts with its recipient.
    ToText->setFocus();
}

void WriteForm::LoadAddressList() {
    RowToRecord = {0};
    List1->clear();
    AddressStore store = addressStore(app_.folder());
    // As in the address book: a delete that a crash cut short is finished first, and an
    // entry still marked deleted is neither listed nor sent to.
    store.FinishInterruptedDeletes();
    store.file().ReadAll([&](qint16 recordNo, const QByteArray& record) {
        if (readLiveFlag(record, AddressRecord::LiveFlagOffset) != 0) {
            List1->addItem(readField(record, AddressRecord::NameField));
            RowToRecord.last() = recordNo;
            RowToRecord.append(0);
        }
        return true;
    });
    Text1->setText(QString::number(List1->count()));
}

void WriteForm::showEvent(QShowEvent* event) {
    // Shown again after the address book changed, the list names who is in it now; a bulk
    // send in progress keeps the rows it is going through.
    if (!sending_) {
        LoadAddressList();
    }
    QuillpostForm::showEvent(event);
}

void WriteForm::resizeEvent(QResizeEvent* event) {
    // The rows under the body keep their place at the bottom: a frame takes its height from
    // the body, and so does a window made smaller; a taller window gives it to the body.
    const int change = height() - twipsToPixels(kHeight);
    BodyText->resize(BodyText->width(),
                     std::max(twipsToPixels(kBodyHeight) + change, twipsToPixels(kLeastBody)));
    const int bodyBottom = BodyText->y() + BodyText->height();
    Label6->move(Label6->x(), bodyBottom + twipsToPixels(kNoticeTop - kBodyTop - kBodyHeight));
    Label7->move(Label7->x(), bodyBottom + twipsToPixels(kStatusTop - kBodyTop - kBodyHeight));
    QuillpostForm::resizeEvent(event);
}

void WriteForm::closeEvent(QCloseEvent* event) {
    if (sending_) {
        StopSending(app_);
    }
    resizeOuter(QSize(twipsToPixels(kNarrowWidth), frameGeometry().height()));
    setListBackground(kWhite);
    unselectOption2();
    // While the program ends, the main window may already be gone.
    if (!app_.ending()) {
        ShowInPlace(app_.mainForm(), *this);
    }
    QuillpostForm::closeEvent(event);
}

void WriteForm::Image1_Click() {
    if (sending_) {
        return;
    }
    sending_ = true;
    // The window may be closed, and deleted, while the send waits on the network.
    const QPointer<WriteForm> self(this);
    SendComposedMail(app_, *this);
    if (!self.isNull()) {
        sending_ = false;
    }
}

void WriteForm::Image2_Click() {
    Unload();
}

void WriteForm::Command3_Click() {
    setWidthCentred(kWideWidth);
    LoadAddressList();
}

void WriteForm::Command5_Click() {
    setWidthCentred(kNarrowWidth);
    setListBackground(kWhite);
}

void WriteForm::Command6_Click() {
    ToText->SetText(QString());
    SubjectText->clear();
    BodyText->SetText(QString());
    AttachText->clear();
    unselectOption2();
    List2->clear();
    List2->hide();
    Command9->setEnabled(false);
    Command10->setEnabled(false);
    AttachCommand->setEnabled(true);
    Check1->setChecked(false);
    setListBackground(kWhite);
    Label6->clear();
}

void WriteForm::Command11_Click() {
    ToText->SetText(QGuiApplication::clipboard()->text());
}

void WriteForm::Command1_Click() {
    BodyText->SetText(QGuiApplication::clipboard()->text());
}

bool WriteForm::isComboPart(const QWidget* widget) const {
    if (widget == nullptr) {
        return false;
    }
    const QWidget* popup = Combo1->view();
    return widget == Combo1 || Combo1->isAncestorOf(widget) ||
           (popup != nullptr &&
            (widget == popup || popup->isAncestorOf(widget) || widget->isAncestorOf(popup)));
}

void WriteForm::Combo1_LostFocus() {
    // Passing through the box with Tab or a click must not cost the user the body.
    if (!templateChosen_) {
        return;
    }
    templateChosen_ = false;
    // Replaced as one edit, so that the body's undo brings the old text back.
    QTextCursor cursor(BodyText->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(Combo1->currentText());
    cursor.endEditBlock();
}

bool WriteForm::holdsUnsentMail() const {
    // A send that went through hides the window: a shown one with text is not sent yet.
    return isVisible() && !(ToText->Text().isEmpty() && SubjectText->text().isEmpty() &&
                            BodyText->Text().isEmpty() && AttachText->text().isEmpty());
}

void WriteForm::List1_MouseDown() {
    const int row = List1->currentRow();
    if (row < 0 || !List1->item(row)->isSelected()) {
        app_.desktop().message(this, QStringLiteral("データが選択されていません"), QString(),
                               Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
        List1->setFocus();
        return;
    }
    const auto record = addressStore(app_.folder()).ReadAt(RowToRecord.value(row));
    if (!record) {
        return;
    }
    app_.AddressBuffer = *record;
    ToText->SetText(TrimSpaces(QStringView(record->Address).left(kRecipientLength)));
}

// Files to send are most often ones that arrived: the dialog starts among them.
QString WriteForm::attachmentFolder() const {
    return appPath(app_.folder(), u"\\添付フォルダ\\");
}

void WriteForm::AttachCommand_Click() {
    Command9->setEnabled(true);
    const QString path =
        app_.desktop().openFileName(this, QString(), attachmentFolder(), QString());
    if (!path.isEmpty()) {
        AttachText->setText(QDir::toNativeSeparators(path));
        List2->addItem(QDir::toNativeSeparators(path));
    }
    AttachCommand->setEnabled(false);
}

void WriteForm::Command9_Click() {
    List2->show();
    if (AttachText->text().isEmpty()) {
        return;
    }
    const QString path =
        app_.desktop().openFileName(this, QString(), attachmentFolder(), QString());
    if (!path.isEmpty()) {
        AttachText->setText(AttachText->text() + u',' + QDir::toNativeSeparators(path));
        List2->addItem(QDir::toNativeSeparators(path));
    }
}

void WriteForm::Command10_Click() {
    AttachText->clear();
    List2->clear();
    List2->hide();
    Command9->setEnabled(false);
    Command10->setEnabled(false);
    AttachCommand->setEnabled(true);
}

void WriteForm::Option2_Click() {
    setListBackground(kBulkGreen);
    QPalette red = Label6->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label6->setPalette(red);
    Label6->setText(QStringLiteral("一括送信が選択されています。"));
    if (Option2->isChecked()) {
        Check1->setChecked(false);
        Check1->setEnabled(false);
    }
}

void WriteForm::Option1_Click() {
    ToText->SetText(QString());
    setListBackground(kWhite);
    Label6->clear();
}

void WriteForm::Image1_MouseMove() {
    showHelp(QStringLiteral(
        "送信します。電話回線が接続されていない場合は、自動的に接続してメールを送信します。"));
}

void WriteForm::Image2_MouseMove() {
    showHelp(QStringLiteral("送信を中止します。"));
}

void WriteForm::AttachCommand_MouseMove() {
    showHelp(QStringLiteral("各種ファイルを添付して送信できます。"));
}

void WriteForm::Command9_MouseMove() {
    showHelp(
        QStringLiteral("添付ファイルを複数送信する際に使用します。確認しやすいように、"
                       "リストボックスが表示されます。"));
}

void WriteForm::Command1_MouseMove() {
    showHelp(QStringLiteral("他のアプリケーションからコピーしてきた内容を本文欄に貼付できます｡"));
}

void WriteForm::Command11_MouseMove() {
    showHelp(QStringLiteral("コピーして来た内容を宛先に貼付ます。"));
}

void WriteForm::Command3_MouseMove() {
    showHelp(
        QStringLiteral("登録したメールアドレスの名称が一覧（リスト）に現れます。送信したい名称"
                       "をクリックすると、メールアドレスが自動的に入力されます。"));
}

void WriteForm::Command5_MouseMove() {
    showHelp(QStringLiteral("アドレス帳を含むサイズから、元のサイズに戻します。"));
}

void WriteForm::Command6_MouseMove() {
    showHelp(QStringLiteral("宛先、件名、本文他、設定等が初期状態に戻せます。"));
}

void WriteForm::BodyText_MouseMove() {
    Text14->hide();
}

void WriteForm::Label6_MouseMove() {
    Text14->hide();
}

void WriteForm::ButtonBar_MouseMove() {
    Text14->hide();
}

void WriteForm::showHelp(const QString& text) {
    Text14->SetText(text);
    Text14->show();
}

void WriteForm::setWidthCentred(int widthTwips) {
    // The width only: a height the user gave the window stays.
    const int outerHeight = frameGeometry().height();
    resizeOuter(QSize(twipsToPixels(widthTwips), outerHeight));
    const QScreen* display = screen();
    if (display == nullptr) {
        return;
    }
    // Centred in twips; only the final position is rounded to whole pixels.
    const QRect area = display->geometry();
    const double left = (pixelsToTwips(area.width()) - widthTwips) / 2.0;
    const double top = (pixelsToTwips(area.height()) - pixelsToTwips(outerHeight)) / 2.0;
    move(area.left() + qRound(left / kTwipsPerPixel), area.top() + qRound(top / kTwipsPerPixel));
}

void WriteForm::setListBackground(const QColor& colour) {
    QPalette palette = List1->palette();
    palette.setColor(QPalette::Base, colour);
    List1->setPalette(palette);
}

void WriteForm::unselectOption2() {
    // An exclusive group never lets its checked button go by itself.
    options_->setExclusive(false);
    Option2->setChecked(false);
    options_->setExclusive(true);
}

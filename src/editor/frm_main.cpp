#include "frm_main.h"

#include <QCloseEvent>
#include <QDrag>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

#include "animation_frame.h"
#include "app_folder.h"
#include "desktop.h"
#include "editor_font.h"
#include "exit_settings.h"
#include "fixed_wrap_edit.h"
#include "toolbar_icons.h"
#include "units.h"

namespace {

constexpr int kToolRowTwips = 600;
constexpr int kMinimumRelayoutTwips = 400;
constexpr int kWrapTwipsPerPoint = 10 * 70;
constexpr int kAnimationIntervalMs = 150;
constexpr int kEditorPoints = 12;
const QString kPictureMimeType = QStringLiteral("application/x-notepane-picture");

struct ToolButton {
    const char* key;
    const char16_t* tooltip;
    const char16_t* glyph;
    bool separatorAfter;
};

constexpr ToolButton kToolButtons[] = {
    {"New", u"新規作成", u"新", false},  {"Open", u"開く", u"開", false},
    {"Save", u"保存", u"保", true},      {"Print", u"印刷", u"印", true},
    {"Cut", u"切り取り", u"切", false},  {"Copy", u"ｺﾋﾟｰ", u"写", false},
    {"Paste", u"貼り付け", u"貼", true}, {"Bold", u"太字", u"B", false},
    {"Italic", u"斜体", u"I", false},    {"Underline", u"下線", u"U", true},
};

}  // namespace

frmMain::frmMain(const QString& folder, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent), folder_(folder), desktop_(desktop) {
    setWindowTitle(QStringLiteral("Notepane"));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    lstLst = new QListWidget(client);
    lstLst->hide();
    rtfEd = new FixedWrapEdit(client);
    rtfEd->setFont(gothicFont(kEditorPoints));
    rtfEd->hide();
    rtfEd->installEventFilter(this);
    rtfEd->viewport()->installEventFilter(this);
    rtfEd->viewport()->setAcceptDrops(true);
    connect(rtfEd, &QPlainTextEdit::textChanged, this, &frmMain::rtfEd_Change);

    buildToolRow();
    buildMenus();
    buildPictures();

    Timer1 = new QTimer(this);
    Timer1->setInterval(kAnimationIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);

    client->installEventFilter(this);
    resize(twipsToPixels(12000), twipsToPixels(9000));
    Form_Load();
    Timer1->start();
}

void frmMain::buildToolRow() {
    toolRow_ = new QWidget(centralWidget());
    auto* row = new QHBoxLayout(toolRow_);
    row->setContentsMargins(2, 0, 2, 0);
    tbToolBar = new QToolBar(toolRow_);
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const QFont glyphFont = gothicFont(kEditorPoints);
    for (const ToolButton& button : kToolButtons) {
        const QString tooltip = QString::fromUtf16(button.tooltip);
        QAction* action =
            tbToolBar->addAction(glyphIcon(QString::fromUtf16(button.glyph), glyphFont), tooltip);
        action->setObjectName(QString::fromLatin1(button.key));
        action->setToolTip(tooltip);
        if (button.separatorAfter) {
            tbToolBar->addSeparator();
        }
    }
    connect(tbToolBar, &QToolBar::actionTriggered, this,
            [this](QAction* action) { tbToolBar_ButtonClick(action->objectName()); });
    Command2 = new QPushButton(QStringLiteral("貼り付け"), toolRow_);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    Label1 = new QLabel(QStringLiteral("検索文字"), toolRow_);
    Text1 = new QLineEdit(toolRow_);
    Text1->setMinimumWidth(twipsToPixels(2400));
    row->addWidget(tbToolBar);
    row->addWidget(Command2);
    row->addSpacing(8);
    row->addWidget(Label1);
    row->addWidget(Text1);
    row->addStretch();
    toolRow_->setGeometry(0, 0, width(), twipsToPixels(kToolRowTwips));
}

void frmMain::buildMenus() {
    const auto item = [this](QMenu* menu, const char16_t* text, void (frmMain::*handler)()) {
        QAction* action = menu->addAction(QString::fromUtf16(text));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // Mnemonics in the Japanese way, a Latin letter in brackets after the name.
    mnuFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    mnuFile->setSeparatorsCollapsible(false);
    mnuFile->addSeparator();
    mnuOPen = item(mnuFile, u"開く(&O)", &frmMain::mnuOPen_Click);
    mnuOPen->setShortcut(QKeySequence::Open);
    mnuFile->addSeparator();
    mnuUPdate = item(mnuFile, u"上書き(&S)", &frmMain::mnuUPdate_Click);
    mnuUPdate->setShortcut(QKeySequence::Save);
    mnuSaveAs = item(mnuFile, u"名前を付けて保存(&A)", &frmMain::mnuSaveAs_Click);
    mnuFile->addSeparator();
    mnuPrint = item(mnuFile, u"印刷(&P)", &frmMain::mnuPrint_Click);
    mnuFile->addSeparator();
    mnuEnd = item(mnuFile, u"終了(&X)", &frmMain::mnuEnd_Click);

    mnuEdit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    mnuUndo = item(mnuEdit, u"元に戻す(&U)", &frmMain::mnuUndo_Click);
    mnuEdit->addSeparator();
    mnuCut = item(mnuEdit, u"切り取り(&T)", &frmMain::mnuCut_Click);
    mnuCopy = item(mnuEdit, u"コピー(&C)", &frmMain::mnuCopy_Click);
    mnuPaste = item(mnuEdit, u"貼付け(&P)", &frmMain::mnuPaste_Click);
    mnuEdit->addSeparator();
    mnuSelectAll = item(mnuEdit, u"全て選択(&A)", &frmMain::mnuSelectAll_Click);
    mnuEdit->addSeparator();
    mnuJumpTop = item(mnuEdit, u"文頭へジャンプ(&H)", &frmMain::mnuJumpTop_Click);
    mnuJumpTail = item(mnuEdit, u"文末へジャンプ(&B)", &frmMain::mnuJumpTail_Click);
    mnuEdit->addSeparator();
    mnukensaku = item(mnuEdit, u"検索(&F)", &frmMain::mnukensaku_Click);
    mnutugiken = item(mnuEdit, u"次を検索(&N)", &frmMain::mnutugiken_Click);

    // F10 opens the first menu, as on the desktops our users come from; the arrow keys then
    // walk the menu bar.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(mnuFile->menuAction()); });
}

void frmMain::buildPictures() {
    QWidget* client = centralWidget();
    PicBack = new QLabel(client);
    PicMask = new QLabel(client);
    PicPtn = new QLabel(client);
    for (QLabel* hidden : {PicBack, PicMask, PicPtn}) {
        hidden->hide();
    }
    Picture3 = new QLabel(client);
    Picture3->setGeometry(twipsRect(6120, 3600, 1095, 1650));
    Picture3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture3->installEventFilter(this);
    Picture3->raise();
}

void frmMain::Form_Load() {
    applyWrap();
    PicBack->setPixmap(QPixmap(appPath(folder_, u"\\back.gif")));
    PicMask->setPixmap(QPixmap(appPath(folder_, u"\\mask.gif")));
    PicPtn->setPixmap(QPixmap(appPath(folder_, u"\\animation.gif")));
    rtfEd->move(0, 0);
    runStartupStep([this] {
        if (!loadCurrentFile()) {
            return false;
        }
        modified = false;
        return true;
    });
    applyWrap();
    rtfEd->show();
    Picture3->raise();
}

void frmMain::tbToolBar_ButtonClick(const QString& key) {
    if (key == u"New") {
        newDocument();
    } else if (key == u"Open") {
        mnuOPen_Click();
    } else if (key == u"Save") {
        mnuUPdate_Click();
    } else if (key == u"Print") {
        mnuPrint_Click();
    } else if (key == u"Cut") {
        mnuCut_Click();
    } else if (key == u"Copy") {
        mnuCopy_Click();
    } else if (key == u"Paste") {
        mnuPaste_Click();
    } else if (key == u"Bold") {
        toggleStyle(boldCount, &QFont::setBold);
    } else if (key == u"Italic") {
        toggleStyle(italicCount, &QFont::setItalic);
    } else if (key == u"Underline") {
        toggleStyle(underlineCount, &QFont::setUnderline);
    }
}

void frmMain::runStartupStep(const std::function<bool()>& step) {
    while (!step()) {
        if (desktop_.message(this, QString(), QStringLiteral("Notepane  Form_LoadError"),
                             Desktop::Buttons::OkCancel,
                             Desktop::Icon::Exclamation) != Desktop::Answer::Ok) {
            return;
        }
    }
}

int frmMain::clientWidth() const {
    return centralWidget()->width();
}

// The editor spans the client area and wraps at a margin set by its type size alone, so the
// lines break at the same place whatever the window's width.
void frmMain::applyWrap() {
    rtfEd->resize(clientWidth(), rtfEd->height());
    const int margin = twipsToPixels(rtfEd->font().pointSize() * kWrapTwipsPerPoint);
    if (rtfEd->lineWrapColumnOrWidth() != margin) {
        rtfEd->setLineWrapColumnOrWidth(margin);
    }
}

void frmMain::Form_Resize() {
    const QSize client = centralWidget()->size();
    const int toolRow = twipsToPixels(kToolRowTwips);
    toolRow_->setGeometry(0, 0, client.width(), toolRow);
    if (pixelsToTwips(client.height()) > kMinimumRelayoutTwips && !isMinimized()) {
        rtfEd->setGeometry(0, toolRow, client.width(), client.height() - toolRow);
        lstLst->setGeometry(0, 0, client.width(), client.height());
    }
    applyWrap();
}

void frmMain::rtfEd_Change() {
    modified = true;
    rtfEd->resize(clientWidth(), lstLst->height() - twipsToPixels(kToolRowTwips));
    applyWrap();
}

void frmMain::rtfEd_KeyPress() {
    applyWrap();
}

void frmMain::rtfEd_MouseDown() {
    applyWrap();
}

void frmMain::Picture3_MouseDown(QPoint at) {
    dragOffset = at;
    auto* drag = new QDrag(Picture3);
    auto* data = new QMimeData;
    data->setData(kPictureMimeType, QByteArray());
    drag->setMimeData(data);
    drag->setPixmap(Picture3->grab());
    drag->setHotSpot(at);
    drag->exec(Qt::MoveAction);
}

// The picture lands where it was let go, still held at the point where it was grabbed.
void frmMain::rtfEd_DragDrop(QWidget* source, QPoint at) {
    if (source != Picture3) {
        return;
    }
    Picture3->move(rtfEd->mapTo(Picture3->parentWidget(), at) - dragOffset);
}

void frmMain::Timer1_Timer() {
    Picture3->setPixmap(QPixmap::fromImage(composeAnimationFrame(
        PicBack->pixmap().toImage(), PicMask->pixmap().toImage(), PicPtn->pixmap().toImage(),
        animationColumn, Picture3->size(), palette().color(QPalette::Window))));
    animationColumn = nextAnimationColumn(animationColumn);
}

void frmMain::Form_Unload() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("VB and VBA Program Settings"), QStringLiteral("sorabook"));
    writeExitSettings(settings);
}

void frmMain::mnuEnd_Click() {
    close();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    Form_Unload();
    Timer1->stop();
    event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        Form_Resize();
    } else if (watched == rtfEd && event->type() == QEvent::KeyPress) {
        rtfEd_KeyPress();
    } else if (watched == rtfEd->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                rtfEd_MouseDown();
                break;
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                if (!drop->mimeData()->hasFormat(kPictureMimeType)) {
                    break;
                }
                drop->acceptProposedAction();
                if (event->type() == QEvent::Drop) {
                    rtfEd_DragDrop(qobject_cast<QWidget*>(drop->source()),
                                   rtfEd->viewport()->mapTo(rtfEd, drop->position().toPoint()));
                }
                return true;
            }
            default:
                break;
        }
    } else if (watched == Picture3 && event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton) {
            Picture3_MouseDown(press->position().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

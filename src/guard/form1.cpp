#include "form1.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QUrl>

#include "app_folder.h"
#include "cp932.h"
#include "desktop.h"
#include "durable_file.h"
#include "failure_detail.h"
#include "file_viewing.h"
#include "guard_texts.h"
#include "regular_file.h"
#include "units.h"
#include "volumes.h"

using namespace guard_text;

namespace {

constexpr int kImageLeft = 3240;
constexpr int kTimerIntervalMs = 200;

QString text(QStringView view) {
    return view.toString();
}

// True when every character survives the code page of the keyword file, so the stored
// name is the typed one (an unknown character would turn into the pattern "?").
bool fitsCodePage(const QString& keyword) {
    return decodeCp932(encodeCp932(keyword)) == keyword;
}

}  // namespace

Form1::Form1(QString folder, Desktop& desktop, QWidget* parent)
    : QWidget(parent),
      folder_(std::move(folder)),
      desktop_(desktop),
      keywords_(keywordStore(folder_)) {
    buildControls();

    connect(Drive1, &QComboBox::currentIndexChanged, this, [this] { Drive1_Change(); });
    connect(Dir1, &FolderList::pathChanged, this, &Form1::Dir1_Change);
    connect(File1, &QListWidget::itemClicked, this, [this] { File1_Click(); });
    connect(File1, &FileList::chosenByKey, this, &Form1::File1_Click);
    connect(File1, &FileList::movedByKey, this, [this] { showCurrentFile(false); });
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);

    Form_Load();
}

void Form1::buildControls() {
    setWindowTitle(text(kCaption));
    setFixedSize(twipsToPixels(10800), twipsToPixels(8070));

    Drive1 = new QComboBox(this);
    Drive1->setGeometry(twipsRect(120, 120, 3015, 330));
    Dir1 = new FolderList(this);
    Dir1->setGeometry(twipsRect(120, 510, 3015, 1530));
    File1 = new FileList(this);
    File1->setGeometry(twipsRect(120, 2100, 3015, 1560));
    FileCountLabel = new QLabel(text(kFileCountLabel), this);
    FileCountLabel->setGeometry(twipsRect(120, 3750, 1000, 300));
    Text1 = new QLineEdit(this);
    Text1->setGeometry(twipsRect(1140, 3720, 900, 330));

    Image1 = new QLabel(this);
    Image1->setGeometry(twipsRect(kImageLeft, kCaptionEndTop, 3015, 2175));
    Image1->setAlignment(Qt::AlignCenter);
    Label2 =
        new QLabel(text(kScrollingCaption).arg(QDir::toNativeSeparators(attachmentFolder())), this);
    Label2->setWordWrap(true);
    Label2->setGeometry(twipsRect(kImageLeft, kCaptionStartTop, 3015, 480));
    // A folder in the user's home is a long name: the caption grows to show all of it.
    Label2->resize(Label2->width(),
                   qMax(Label2->height(), Label2->heightForWidth(Label2->width())));
    Command1 = new QPushButton(text(kHelpButton), this);
    Command1->setGeometry(twipsRect(kImageLeft, 2400, 1000, 420));
    Command4 = new QPushButton(text(kSweepButton), this);
    Command4->setGeometry(twipsRect(4320, 2400, 1935, 420));
    Text2 = new QLineEdit(this);
    Text2->setGeometry(twipsRect(kImageLeft, 2940, 3015, 330));
    Text2->hide();

    WebBrowser1 = new LocalFileBrowser(this);
    WebBrowser1->setGeometry(twipsRect(120, 4170, 6135, 3780));
    Text3 = new QPlainTextEdit(this);
    Text3->setGeometry(WebBrowser1->geometry());
    Text3->setReadOnly(true);
    Text3->setFont(QFont(text(kHelpFont)));
    QPalette white = Text3->palette();
    white.setColor(QPalette::Base, Qt::white);
    Text3->setPalette(white);

    Frame1 = new QGroupBox(this);
    Frame1->setGeometry(twipsRect(6375, 120, 4305, 7830));
    Label4[1] = new QLabel(text(kFrameHeading), Frame1);
    Label4[1]->setGeometry(twipsRect(180, 240, 3945, 330));
    QFont heading = Label4[1]->font();
    heading.setBold(true);
    Label4[1]->setFont(heading);
    Label4[0] = new QLabel(text(kInstructions), Frame1);
    Label4[0]->setWordWrap(true);
    Label4[0]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4[0]->setGeometry(twipsRect(180, 660, 3945, 1500));
    Label3 = new QLabel(text(kKeywordLabel), Frame1);
    Label3->setGeometry(twipsRect(180, 2280, 3945, 270));
    Text5 = new QLineEdit(Frame1);
    Text5->setMaxLength(kMaxKeywords);
    Text5->setGeometry(twipsRect(180, 2580, 3000, 345));
    Command6 = new QPushButton(text(kPasteButton), Frame1);
    Command6->setGeometry(twipsRect(3270, 2565, 855, 375));
    Command3 = new QPushButton(text(kRegisterButton), Frame1);
    Command3->setGeometry(twipsRect(180, 3030, 1200, 390));
    List1 = new QListWidget(Frame1);
    List1->setGeometry(twipsRect(180, 3510, 3945, 3450));
    Command2 = new QPushButton(text(kDeleteButton), Frame1);
    Command2->setGeometry(twipsRect(180, 7110, 1200, 390));
    KeywordCountLabel = new QLabel(text(kKeywordCountLabel), Frame1);
    KeywordCountLabel->setGeometry(twipsRect(1740, 7155, 1200, 300));
    Text6 = new QLineEdit(Frame1);
    Text6->setGeometry(twipsRect(3000, 7110, 1125, 345));
    Command5 = new QPushButton(Frame1);
    Command5->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTimerIntervalMs);

    for (const QString& root : mountedVolumeRoots()) {
        Drive1->addItem(QDir::toNativeSeparators(root), root);
    }
    // The user comes to look at what mail brought: the attachments, not the programs.
    const QString start = QFileInfo(attachmentFolder()).isDir() ? attachmentFolder() : folder_;
    const QString home = QStorageInfo(start).rootPath();
    if (Drive1->findData(home) < 0) {
        Drive1->addItem(QDir::toNativeSeparators(home), home);
    }
    Drive1->setCurrentIndex(Drive1->findData(home));
    driveIndex_ = Drive1->currentIndex();
    Dir1->setPath(start);
    File1->setPath(start);
}

QString Form1::attachmentFolder() const {
    return appPath(folder_, u"\\添付フォルダ");
}

void Form1::Form_Load() {
    Timer1->start();
    Text3->hide();
    Command5_Click();
    Text1->setText(QString::number(File1->count()));
}

void Form1::Drive1_Change() {
    const QString root = Drive1->currentData().toString();
    if (!isFolderReady(root)) {
        const QSignalBlocker blocker(Drive1);
        Drive1->setCurrentIndex(driveIndex_);
        desktop_.message(this, text(kDriveNotReady).arg(QDir::toNativeSeparators(root)), {},
                         Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
        return;
    }
    driveIndex_ = Drive1->currentIndex();
    Dir1->setPath(root);
    Text1->setText(QString::number(File1->count()));
}

void Form1::Dir1_Change() {
    File1->setPath(Dir1->path());
    Text1->setText(QString::number(File1->count()));
}

void Form1::File1_Click() {
    showCurrentFile(true);
}

void Form1::showCurrentFile(bool mayAsk) {
    const QListWidgetItem* item = File1->currentItem();
    if (item == nullptr) {
        return;
    }
    Label2->hide();
    Text1->setText(QString::number(File1->count()));
    showFile(joinFolderAndName(File1->path(), item->text()), mayAsk);
}

void Form1::showFile(const QString& path, bool mayAsk) {
    RegularFile file(path);
    FileHead head;
    // A file too large for a picture is read only as far as the viewer would show it.
    if (!file.isOpen() ||
        !file.readHead(file.size() <= kPictureLimit ? kPictureLimit : kShownTextLimit, head)) {
        reportFailure(text(kCannotView), fileAndReason(path, file.failure()));
        return;
    }
    if (!head.cut) {
        QBuffer buffer(&head.bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        const QImage picture = reader.read();
        if (!picture.isNull()) {
            QPixmap pixmap = QPixmap::fromImage(picture);
            if (pixmap.width() > Image1->width() || pixmap.height() > Image1->height()) {
                pixmap =
                    pixmap.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
            }
            Image1->setPixmap(pixmap);
            return;
        }
    }
    Text2->setText(QDir::toNativeSeparators(path));
    switch (viewKindOf(path, head.bytes)) {
        case ViewKind::Html:
            WebBrowser1->setSource(QUrl::fromLocalFile(path));
            break;
        case ViewKind::Text:
            WebBrowser1->showPlainText(textForViewing(head));
            break;
        case ViewKind::Other:
            if (mayAsk) {
                offerOtherFile(path);
            } else {
                WebBrowser1->showPlainText(text(kChooseWithEnter));
            }
            break;
    }
}

void Form1::offerOtherFile(const QString& path) {
    const QFileInfo info(path);
    const QString question =
        text(kDownloadQuestion).arg(info.fileName(), QDir::toNativeSeparators(info.path()));
    const int choice =
        desktop_.choose(this, question, text(kDownloadTitle),
                        {text(kRunChoice), text(kSaveChoice), text(kCancelChoice)}, 2);
    if (choice == 0) {
        if (!desktop_.openUrl(QUrl::fromLocalFile(path))) {
            reportFailure(text(kRunFailed), QDir::toNativeSeparators(path));
        }
    } else if (choice == 1) {
        const QString target = desktop_.saveFileName(
            this, text(kSaveTitle), QDir::home().filePath(info.fileName()), text(kSaveFilter));
        if (target.isEmpty()) {
            return;
        }
        const QString error = copyFileSafely(path, target);
        if (!error.isEmpty()) {
            reportFailure(text(kSaveFailed), fileAndReason(target, error));
        }
    }
}

void Form1::Command1_Click() {
    if (helpClicks_ % 2 == 0) {
        Image1->hide();
        Text3->show();
        Text3->setPlainText(text(kHelp));
    } else {
        helpClicks_ = 1;
        Text3->hide();
    }
    ++helpClicks_;
}

void Form1::Command2_Click() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        desktop_.message(this, text(kNothingSelected));
        return;
    }
    const auto recordNo = static_cast<qint16>(List1->row(selected.first()) + 1);
    Label2->setText(QStringLiteral(" "));
    const Desktop::Answer answer =
        desktop_.message(this, text(kDeleteQuestion), text(kConfirmTitle), Desktop::Buttons::YesNo,
                         Desktop::Icon::Question);
    if (answer == Desktop::Answer::Yes) {
        // One replacement of the list without the keyword: a failure leaves the list as it
        // was, never a blank line that would end the sweep.
        if (!keywords_.Delete(recordNo)) {
            reportFailure(
                text(keywords_.changedButUnconfirmed() ? kDeleteUnconfirmed : kDeleteFailed),
                fileAndReason(keywords_.file().path(), keywords_.errorString()));
        }
    } else if (!keywords_.Compact()) {
        reportFailure(text(kCompactFailed),
                      fileAndReason(keywords_.file().path(), keywords_.errorString()));
    }
    Command5_Click();
}

void Form1::Command3_Click() {
    // The count box can be typed into: the stored list decides as well.
    if (Text6->text().toInt() >= kMaxKeywords || keywords_.RecordCount() >= kMaxKeywords) {
        desktop_.message(this, text(kLimitReached));
        return;
    }
    const QString keyword = Text5->text();
    if (!fitsCodePage(keyword)) {
        desktop_.message(this, text(kNotInCodePage), {}, Desktop::Buttons::Ok,
                         Desktop::Icon::Exclamation);
        return;
    }
    if (!keywords_.Append({keyword, 1})) {
        reportFailure(text(kRegisterFailed),
                      fileAndReason(keywords_.file().path(), keywords_.errorString()));
        // A failed write may still have left the record: the list shows what the file holds.
        Command5_Click();
        return;
    }
    Label2->setText(text(kRegistered));
    Command5_Click();
    Text5->clear();
}

void Form1::Command4_Click() {
    // An unreadable list would read as an empty one: "nothing swept" would hide it.
    if (!keywordListReadable()) {
        return;
    }
    Text4 = readKeywordSlots(keywords_);
    const SweepResult result = sweepAttachments(attachmentFolder() + u'/', Text4);
    if (result.deletedKeywords > 0) {
        desktop_.message(this, QString::number(result.deletedKeywords) + text(kSweptSuffix));
    } else if (result.failures.isEmpty()) {
        desktop_.message(this, text(kNothingSwept));
    }
    if (!result.failures.isEmpty()) {
        reportFailure(text(kSweepRefused), result.failures.join(u'\n'));
    }
}

void Form1::Command5_Click() {
    List1->clear();
    const QString list = keywords_.file().path();
    QString error;
    if (!QFileInfo::exists(list) && !writeFileDurably(list, {}, error)) {
        reportFailure(text(kListNotCreated), fileAndReason(list, error));
    } else {
        keywordListReadable();
    }
    for (const KeywordRecord& record : keywords_.ReadAll()) {
        List1->addItem(record.Keyword);
    }
    Text6->setText(QString::number(List1->count()));
}

void Form1::Command6_Click() {
    Text5->setText(QGuiApplication::clipboard()->text());
}

void Form1::Timer1_Timer() {
    placeLabel2(label2Top_ != kCaptionEndTop ? label2Top_ - kCaptionStep : kCaptionStartTop);
}

void Form1::placeLabel2(int top) {
    label2Top_ = top;
    Label2->move(twipsToPixels(kImageLeft), twipsToPixels(top));
}

bool Form1::keywordListReadable() {
    const QString list = keywords_.file().path();
    QFile file(list);
    if (!file.exists() || file.open(QIODevice::ReadOnly)) {
        return true;
    }
    reportFailure(text(kListUnreadable), fileAndReason(list, file.errorString()));
    return false;
}

void Form1::reportFailure(const QString& what, const QString& detail) {
    desktop_.message(this, what + u'\n' + detail, {}, Desktop::Buttons::Ok,
                     Desktop::Icon::Critical);
}

#include "address_book/friend_form.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QScreen>

#include <algorithm>

#include "app/quillpost_app.h"
#include "compose/limited_line_box.h"
#include "desktop.h"
#include "failure_detail.h"
#include "main_window/main_form.h"
#include "routines.h"
#include "show_in_place.h"
#include "store/mail_records.h"
#include "units.h"

namespace {

constexpr int kWidthTwips = 7665;
constexpr int kHeightTwips = 8265;
constexpr int kListTop = 1800;
constexpr int kStatusHeight = 375;
const QString kNoSelection = QStringLiteral("データが選択されていません");

// The row of an entry: address and name, each completed with spaces to the row's field
// width, two spaces between.
QString rowText(const QByteArray& record) {
    return readField(record, AddressRecord::AddressField)
               .leftJustified(FriendForm::kRowFieldWidth) +
           QStringLiteral("  ") +
           readField(record, AddressRecord::NameField).leftJustified(FriendForm::kRowFieldWidth);
}

}  // namespace

FriendForm::FriendForm(QuillpostApp& app)
    : QuillpostForm(app),
      Command5(new QPushButton(QStringLiteral("ホーム"), this)),
      Command1(new QPushButton(QStringLiteral("登録"), this)),
      Command4(new QPushButton(QStringLiteral("削除"), this)),
      Command3(new QPushButton(QStringLiteral("貼付"), this)),
      AddressLabel(new QLabel(QStringLiteral("メールアドレス"), this)),
      Text4(new LimitedLineBox(60, this)),
      NameLabel(new QLabel(QStringLiteral("名前"), this)),
      Text2(new LimitedLineBox(kNameLength, this)),
      CountLabel(new QLabel(QStringLiteral("登録件数"), this)),
      Text3(new LimitedLineBox(2, this)),
      List1(new QListWidget(this)),
      Label2(new QLabel(this)) {
    setWindowTitle(QStringLiteral("アドレス帳"));
    resize(twipsToPixels(kWidthTwips), twipsToPixels(kHeightTwips));
    move(screen()->availableGeometry().center() - rect().center());

    Command5->setGeometry(twipsRect(120, 120, 1200, 495));
    Command1->setGeometry(twipsRect(1440, 120, 1200, 495));
    Command4->setGeometry(twipsRect(2760, 120, 1200, 495));
    Command3->setGeometry(twipsRect(4080, 120, 1200, 495));
    AddressLabel->setGeometry(twipsRect(120, 840, 1500, 375));
    Text4->setGeometry(twipsRect(1680, 840, 5805, 375));
    NameLabel->setGeometry(twipsRect(120, 1320, 1500, 375));
    Text2->setGeometry(twipsRect(1680, 1320, 3000, 375));
    CountLabel->setGeometry(twipsRect(4920, 1320, 1200, 375));
    Text3->setGeometry(twipsRect(6180, 1320, 600, 375));
    // Rows are two fixed-width fields side by side: a fixed-pitch type keeps the names
    // in one column.
    List1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    List1->viewport()->installEventFilter(this);
    Label2->setFrameShape(QFrame::Panel);
    Label2->setFrameShadow(QFrame::Sunken);

    connect(Command1, &QPushButton::clicked, this, &FriendForm::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &FriendForm::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &FriendForm::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &FriendForm::Command5_Click);
    Form_Load();
}

void FriendForm::resizeEvent(QResizeEvent*) {
    const int statusHeight = twipsToPixels(kStatusHeight);
    const int listTop = twipsToPixels(kListTop);
    List1->setGeometry(0, listTop, width(), std::max(0, height() - listTop - statusHeight));
    Label2->setGeometry(0, std::max(listTop, height() - statusHeight), width(), statusHeight);
}

bool FriendForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List1->viewport() && event->type() == QEvent::MouseButtonPress) {
        // Runs once the list has handled the press and selected the row under it.
        QMetaObject::invokeMethod(this, &FriendForm::List1_MouseDown, Qt::QueuedConnection);
    }
    return QuillpostForm::eventFilter(watched, event);
}

void FriendForm::Form_Load() {
    Label2->setText(QString());
    Reload();
}

void FriendForm::Reload() {
    List1->clear();
    AddressStore store = addressStore(app_.folder());
    // A delete that a crash cut short is finished first; an entry still marked is not listed.
    store.FinishInterruptedDeletes();
    store.file().ReadAll([&](qint16 recordNo, const QByteArray& record) {
        if (readLiveFlag(record, AddressRecord::LiveFlagOffset) != 0) {
            auto* row = new QListWidgetItem(rowText(record), List1);
            row->setData(Qt::UserRole, recordNo);
        }
        return true;
    });
    Text3->setText(QString::number(List1->count()));
}

void FriendForm::Command1_Click() {
    QString name = Text2->text();
    if (name.size() < kNameLength) {
        name += QString(kNameLength - name.size(), QChar(0x3000));
    }
    // The live flag counts the entries listed before; 0 would mark the entry deleted.
    qint16 liveFlag = numericValue16(Text3->text());
    if (liveFlag == 0) {
        liveFlag = 1;
    }
    AddressStore store = addressStore(app_.folder());
    app_.AddressBuffer = AddressRecord{name, liveFlag, Text4->text()};
    const auto written = store.Append(app_.AddressBuffer);
    if (!written) {
        app_.desktop().message(this, QStringLiteral("登録できませんでした。★MailDataフォルダに"
                                                    "書き込めるか、ディスクに空きがあるかを"
                                                    "確かめてください。\n") +
                                         fileAndReason(store.file().path(), store.errorString()));
        return;
    }
    app_.CurrentRecordNo = *written;
    Label2->setText(QStringLiteral("　登録が完了しました。"));
    Reload();
}

void FriendForm::noSelection() {
    app_.desktop().message(this, kNoSelection, QString(), Desktop::Buttons::Ok,
                           Desktop::Icon::Exclamation);
}

void FriendForm::List1_MouseDown() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        noSelection();
        List1->setFocus();
        return;
    }
    const auto record =
        addressStore(app_.folder())
            .ReadAt(static_cast<qint16>(selected.first()->data(Qt::UserRole).toInt()));
    if (!record) {
        return;
    }
    app_.AddressBuffer = *record;
    Text2->setText(TrimSpaces(record->Name.left(30)));
    Text4->setText(TrimSpaces(record->Address.left(60)));
    Label2->setText(QStringLiteral("　選択しました。"));
}

void FriendForm::Command4_Click() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        noSelection();
        return;
    }
    app_.CurrentRecordNo = static_cast<qint16>(selected.first()->data(Qt::UserRole).toInt());
    Label2->setText(QStringLiteral(" "));
    if (app_.desktop().message(
            this, QStringLiteral("選択された（行、青色）データを削除します。よろしいですか"),
            QStringLiteral("確認"), Desktop::Buttons::YesNo,
            Desktop::Icon::Question) == Desktop::Answer::Yes) {
        // Success is said only once the file no longer holds the entry.
        AddressStore store = addressStore(app_.folder());
        if (store.Delete(app_.CurrentRecordNo, app_.AddressBuffer)) {
            Label2->setText(QStringLiteral("削除が完了しました"));
        } else if (store.changedButUnconfirmed()) {
            app_.desktop().message(
                this, QStringLiteral("削除しましたが、ディスクに書き込まれたことを確かめられません"
                                     "でした。コンピュータが止まると、アドレスが元に戻ることが"
                                     "あります。ディスクに異常がないかを確かめてください。\n") +
                          fileAndReason(store.file().path(), store.errorString()));
        } else {
            app_.desktop().message(
                this, QStringLiteral("削除できませんでした。アドレス帳はそのまま残っています。"
                                     "★MailDataフォルダに書き込めるか、ディスクに空きがあるかを"
                                     "確かめてください。\n") +
                          fileAndReason(store.file().path(), store.errorString()));
        }
    }
    Reload();
}

void FriendForm::Command3_Click() {
    Text4->setText(QApplication::clipboard()->text());
}

void FriendForm::Command5_Click() {
    ShowInPlace(app_.mainForm(), *this);
}

#include "form1.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPixmap>
#include <QUrl>

#include "app_folder.h"
#include "archive_drop.h"
#include "desktop.h"
#include "show_in_place.h"
#include "units.h"

namespace {

// A drop handles at most this many files, as the file count is a 16-bit number.
constexpr int kMaxDroppedFiles = 32767;

QStringList droppedFiles(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        }
    }
    return paths;
}

bool carriesFiles(const QMimeData* data) {
    return data != nullptr && data->hasUrls();
}

}  // namespace

Form1::Form1(const QString& folder, Desktop& desktop)
    : Image1(new QLabel(this)),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)),
      folder_(folder),
      desktop_(desktop) {
    setWindowTitle(QStringLiteral("LHA 解凍"));
    setFixedSize(twipsToPixels(4320), twipsToPixels(3720));
    setAcceptDrops(true);

    Image1->setGeometry(twipsRect(1200, 120, 1920, 1920));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setAcceptDrops(true);
    Image1->installEventFilter(this);
    showCharacter();

    Label1->setGeometry(twipsRect(120, 2160, 4080, 900));
    Label1->setText(
        QStringLiteral("解凍したいフォルダをキャラクターの上にドロップ＆ドロップしてください。"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setAcceptDrops(true);
    Label1->installEventFilter(this);

    Label2->setGeometry(twipsRect(120, 3180, 4080, 360));
    Label2->setText(QStringLiteral("  "));
}

void Form1::showCharacter() {
    const QPixmap character(appPath(folder_, u"\\arcopen.gif"));
    if (character.isNull()) {
        return;
    }
    const QSize box = Image1->size();
    const bool fits = character.width() <= box.width() && character.height() <= box.height();
    Image1->setPixmap(fits ? character
                           : character.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

bool Form1::Form_Load() {
    // The window manager places a window only once it is mapped, too late for a box raised
    // at once, which would stand at the screen's corner: the window takes its place itself,
    // in the middle of the screen, and is shown before any box.
    if (!testAttribute(Qt::WA_Moved)) {
        centreOnScreen(*this, frameGeometry().size());
    }
    show();
    if (module_.load(folder_)) {
        return true;
    }
    desktop_.message(this, QStringLiteral("Unlha32.DLLが見つかりません!!"), QStringLiteral("Error"),
                     Desktop::Buttons::Ok, Desktop::Icon::Critical);
    return false;
}

void Form1::Form_OLEDragDrop(const QMimeData& data) {
    extractDropped(data);
}

void Form1::Image1_OLEDragDrop(const QMimeData& data) {
    extractDropped(data);
}

void Form1::Label1_OLEDragDrop(const QMimeData& data) {
    extractDropped(data);
}

void Form1::extractDropped(const QMimeData& data) {
    QStringList paths = droppedFiles(data);
    if (paths.isEmpty()) {
        return;
    }
    paths = paths.mid(0, kMaxDroppedFiles);
    const int count = static_cast<int>(paths.size());
    QList<FailedArchive> failures;
    for (int i = 0; i < count; ++i) {
        const QString& path = paths.at(i);
        if (!namesOwnFolder(splitDroppedPath(path))) {
            failures.append({path, std::nullopt, {}});
            continue;
        }
        Label2->setText(extractingStatus(i + 1, count, path));
        // The call does not return to the event loop: paint the status now.
        Label2->repaint();
        QString detail;
        const qint32 result =
            module_.Unlha(this, unlhaCommandBytes(unlhaCommandLine(path)), &detail);
        if (result != 0) {
            failures.append({path, result, detail});
        }
    }
    if (failures.isEmpty()) {
        close();
    } else {
        desktop_.message(this, failureMessage(failures, count), QStringLiteral("Failed"),
                         Desktop::Buttons::Ok, Desktop::Icon::Critical);
    }
    Label2->setText(QString());
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (carriesFiles(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void Form1::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    Form_OLEDragDrop(*event->mimeData());
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter) {
        dragEnterEvent(static_cast<QDragEnterEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        drop->acceptProposedAction();
        if (watched == Image1) {
            Image1_OLEDragDrop(*drop->mimeData());
        } else {
            Label1_OLEDragDrop(*drop->mimeData());
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

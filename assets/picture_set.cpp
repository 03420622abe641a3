#include "picture_set.h"

#include "arcopen_character.h"
#include "buttons.h"
#include "gif_writer.h"
#include "ico_writer.h"
#include "mail_kinds.h"
#include "notepane_pictures.h"
#include "scenes.h"

#include <QBuffer>

namespace {

// The colours that the transparent button pictures sit on: the history window's light
// cyan bar and the ordinary window background.
const QColor kHistoryBar(192, 255, 255);
const QColor kWindow(240, 240, 240);

QByteArray jpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 92);
    return bytes;
}

PictureFile gif(const QString& path, const QImage& image, std::optional<QColor> matte,
                ClearPixels clear = ClearPixels::Transparent) {
    return {path, encodeGif(image, matte, clear), image};
}

}  // namespace

QList<PictureFile> applicationPictures() {
    QList<PictureFile> files;
    for (int n = 1; n <= 10; ++n) {
        const QImage scene = backgroundScene(n);
        files.append({QStringLiteral("背景画像/%1.jpg").arg(n), jpeg(scene), scene});
    }
    for (int n = 1; n <= 4; ++n) {
        const QImage kind = mailKindPicture(n);
        files.append({QStringLiteral("メール種別画像/%1.jpg").arg(n), jpeg(kind), kind});
    }
    const std::pair<int, MainButton> icons[] = {
        {1, MainButton::NewMail},     {2, MainButton::Receive},
        {3, MainButton::AddressBook}, {5, MainButton::ReceivedHistory},
        {6, MainButton::SentHistory}, {7, MainButton::Guard}};
    for (const auto& [number, button] : icons) {
        const QList<QImage> sides = mainButtonIcon(button);
        files.append({QStringLiteral("ico/%1.ico").arg(number), encodeIco(sides), sides.back()});
    }
    files.append(gif(QStringLiteral("ico2/1.gif"), composeButton(ComposeButton::Send), kWindow));
    files.append(gif(QStringLiteral("ico2/2.gif"), composeButton(ComposeButton::Cancel), kWindow));
    const std::pair<int, HistoryButton> history[] = {{1, HistoryButton::Delete},
                                                     {3, HistoryButton::DeleteAll},
                                                     {4, HistoryButton::Reply},
                                                     {5, HistoryButton::AddToAddressBook},
                                                     {10, HistoryButton::Deleted}};
    for (const auto& [number, button] : history) {
        files.append(
            gif(QStringLiteral("data/%1.gif").arg(number), historyButton(button), kHistoryBar));
    }
    const NotepaneAnimation animation = notepaneAnimation();
    files.append(gif(QStringLiteral("back.gif"), notepaneBackground(), std::nullopt));
    files.append(gif(QStringLiteral("mask.gif"), animation.mask, std::nullopt));
    files.append(gif(QStringLiteral("animation.gif"), animation.strip, QColor(Qt::white),
                     ClearPixels::Matte));
    files.append(gif(QStringLiteral("data/arcopen.gif"), arcopenCharacter(), kWindow));
    return files;
}

QStringList applicationFolders() {
    return {QStringLiteral("★MailData"), QStringLiteral("添付フォルダ"),
            QStringLiteral("背景画像"),  QStringLiteral("メール種別画像"),
            QStringLiteral("ico"),       QStringLiteral("ico2"),
            QStringLiteral("data")};
}

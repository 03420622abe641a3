#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSet>

namespace {

const QString kAppFolder = QStringLiteral(APP_FOLDER_DIR);

struct Expected {
    QString path;
    QByteArray format;
    QSize size;
};

// Every picture the windows load, with the size at which they show it.
QList<Expected> expectedPictures() {
    QList<Expected> pictures;
    for (int n = 1; n <= 10; ++n) {
        pictures.append({QStringLiteral("背景画像/%1.jpg").arg(n), "jpeg", {305, 225}});
    }
    for (int n = 1; n <= 4; ++n) {
        pictures.append({QStringLiteral("メール種別画像/%1.jpg").arg(n), "jpeg", {305, 225}});
    }
    for (int n : {1, 2, 3, 5, 6, 7}) {
        pictures.append({QStringLiteral("ico/%1.ico").arg(n), "ico", {16, 16}});
    }
    for (int n : {1, 2}) {
        pictures.append({QStringLiteral("ico2/%1.gif").arg(n), "gif", {48, 48}});
    }
    for (int n : {1, 3, 4, 5, 10}) {
        pictures.append({QStringLiteral("data/%1.gif").arg(n), "gif", {56, 56}});
    }
    pictures.append({QStringLiteral("back.gif"), "gif", {97, 138}});
    pictures.append({QStringLiteral("mask.gif"), "gif", {420, 80}});
    pictures.append({QStringLiteral("animation.gif"), "gif", {420, 80}});
    pictures.append({QStringLiteral("data/arcopen.gif"), "gif", {128, 128}});
    return pictures;
}

QImage load(const QString& relative) {
    return QImage(kAppFolder + u'/' + relative);
}

QByteArray head(const QString& relative, int length) {
    QFile file(kAppFolder + u'/' + relative);
    return file.open(QIODevice::ReadOnly) ? file.read(length) : QByteArray();
}

TEST(AssetsFolder, HoldsEveryFolderTheProgramsUseAndCreateNone) {
    for (const char* folder :
         {"★MailData", "添付フォルダ", "背景画像", "メール種別画像", "ico", "ico2", "data"}) {
        EXPECT_TRUE(QDir(kAppFolder + u'/' + QString::fromUtf8(folder)).exists()) << folder;
    }
}

TEST(AssetsFolder, EveryPictureIsARealFileOfItsFormatAndSize) {
    for (const Expected& picture : expectedPictures()) {
        SCOPED_TRACE(picture.path.toStdString());
        QImageReader reader(kAppFolder + u'/' + picture.path);
        EXPECT_EQ(reader.format(), picture.format);
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), picture.size);
        if (picture.format == "gif") {
            EXPECT_EQ(head(picture.path, 4), QByteArray("GIF8"));
        } else if (picture.format == "jpeg") {
            EXPECT_EQ(head(picture.path, 3), QByteArray("\xff\xd8\xff"));
        }
    }
}

TEST(AssetsFolder, IconsHoldEverySideFromSmallToLarge) {
    for (int n : {1, 2, 3, 5, 6, 7}) {
        const QString path = kAppFolder + QStringLiteral("/ico/%1.ico").arg(n);
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(head(QStringLiteral("ico/%1.ico").arg(n), 4), QByteArray("\0\0\1\0", 4));
        QImageReader reader(path);
        QList<int> sides;
        do {
            const QImage image = reader.read();
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.width(), image.height());
            EXPECT_TRUE(image.hasAlphaChannel());
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "corner should be see-through";
            int solid = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    solid += qAlpha(image.pixel(x, y)) == 255;
                }
            }
            EXPECT_GT(solid, image.width() * image.height() / 4)
                << "too faint at " << image.width();
            sides << image.width();
        } while (reader.jumpToNextImage());
        EXPECT_EQ(sides, QList<int>({16, 24, 32, 48, 64}));
        const QIcon icon(path);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
        EXPECT_EQ(icon.pixmap(32).size(), QSize(32, 32));
    }
}

TEST(AssetsFolder, ButtonPicturesSitOnTheirBarWithSeeThroughCorners) {
    for (const char* path : {"ico2/1.gif", "ico2/2.gif", "data/1.gif", "data/3.gif", "data/4.gif",
                             "data/5.gif", "data/10.gif", "data/arcopen.gif"}) {
        SCOPED_TRACE(path);
        const QImage image = load(QString::fromUtf8(path));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(qAlpha(image.pixel(0, image.height() - 1)), 0);
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() * 3 / 4)), 255);
    }
}

TEST(AssetsFolder, EveryPictureIsDrawnOnItsOwn) {
    QSet<QByteArray> seen;
    for (const Expected& picture : expectedPictures()) {
        QFile file(kAppFolder + u'/' + picture.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << picture.path.toStdString();
        const QByteArray hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5);
        EXPECT_FALSE(seen.contains(hash)) << picture.path.toStdString() << " repeats another";
        seen.insert(hash);
    }
}

// Notepane shows frame x by OR-ing the mask onto its background and AND-ing the strip;
// the character must come out in its own colours and the background stay untouched.
TEST(AssetsFolder, NotepaneFramesComposeOverTheBackground) {
    const QImage back = load(QStringLiteral("back.gif")).convertToFormat(QImage::Format_RGB32);
    const QImage mask = load(QStringLiteral("mask.gif")).convertToFormat(QImage::Format_RGB32);
    const QImage strip =
        load(QStringLiteral("animation.gif")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(mask.size(), strip.size());
    QList<QImage> frames;
    for (int x = 0; x < 420; x += 70) {
        SCOPED_TRACE(x);
        QImage box = back.copy(0, 0, 97, 138);
        QPainter p(&box);
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        p.drawImage(QPoint(0, 15), mask, QRect(x, 0, 70, 80));
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(QPoint(0, 15), strip, QRect(x, 0, 70, 80));
        p.end();
        int character = 0;
        for (int y = 0; y < 80; ++y) {
            for (int i = 0; i < 70; ++i) {
                const QRgb m = mask.pixel(x + i, y) & 0xffffff;
                ASSERT_TRUE(m == 0 || m == 0xffffff) << "mask must be pure black or white";
                const QRgb shown = box.pixel(i, y + 15);
                if (m == 0) {
                    ASSERT_EQ(strip.pixel(x + i, y) & 0xffffff, 0xffffffu);
                    ASSERT_EQ(shown, back.pixel(i, y + 15));
                } else {
                    ASSERT_EQ(shown, strip.pixel(x + i, y));
                    ++character;
                }
            }
        }
        EXPECT_GT(character, 70 * 80 / 5) << "the character should be clearly visible";
        frames << box;
    }
    for (int i = 0; i < frames.size(); ++i) {
        EXPECT_NE(frames[i], frames[(i + 1) % frames.size()]) << "frame " << i << " repeats";
    }
}

}  // namespace

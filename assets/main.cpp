#include "contact_sheet.h"
#include "picture_set.h"
#include "program_icons.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

// asset_generator APP_FOLDER [--sheet SHEET.png] [--icons ICON_FOLDER]
// Draws every picture of the application folder into APP_FOLDER, creating its folders
// (the empty data and attachment folders included); with --sheet, also a page showing
// all of them; with --icons, the programs' desktop icons as ICON_FOLDER/<side>x<side>/apps/
// <name>.png, laid out as the hicolor icon theme holds them.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString sheet;
    QString icons;
    bool usage = args.size() < 2 || args.size() % 2 != 0;
    for (qsizetype i = 2; !usage && i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--sheet")) {
            sheet = args[i + 1];
        } else if (args[i] == QStringLiteral("--icons")) {
            icons = args[i + 1];
        } else {
            usage = true;
        }
    }
    if (usage) {
        std::fprintf(stderr, "usage: asset_generator APP_FOLDER [--sheet PNG] [--icons DIR]\n");
        return 2;
    }
    const QDir appFolder(args[1]);
    bool ok = true;
    for (const QString& folder : applicationFolders()) {
        ok = appFolder.mkpath(folder) && ok;
    }
    const QList<PictureFile> files = applicationPictures();
    for (const PictureFile& file : files) {
        ok = writeFile(appFolder.filePath(file.path), file.bytes) && ok;
    }
    if (!sheet.isEmpty()) {
        ok = writeFile(sheet, png(contactSheet(files))) && ok;
    }
    if (!icons.isEmpty()) {
        for (int side : programIconSides) {
            const QString folder = QStringLiteral("%1/%2x%2/apps").arg(icons).arg(side);
            ok = QDir().mkpath(folder) && ok;
            for (const ProgramIcon& icon : programIcons(side)) {
                ok = writeFile(folder + u'/' + icon.name + QStringLiteral(".png"),
                               png(icon.image)) &&
                     ok;
            }
        }
    }
    return ok ? 0 : 1;
}

#include "contact_sheet.h"
#include "picture_set.h"

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

}  // namespace

// asset_generator APP_FOLDER [--sheet SHEET.png]
// Draws every picture of the application folder into APP_FOLDER, creating its folders
// (the empty data and attachment folders included); with --sheet, also a page showing
// all of them.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QStringLiteral("--sheet"))) {
        std::fprintf(stderr, "usage: asset_generator APP_FOLDER [--sheet PNG]\n");
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
    if (args.size() == 4) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        contactSheet(files).save(&buffer, "PNG");
        ok = writeFile(args[3], png) && ok;
    }
    return ok ? 0 : 1;
}

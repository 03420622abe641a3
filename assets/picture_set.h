#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// One file of the generated set: where it goes, its encoded bytes, and the picture as
// drawn (for the contact sheet).
struct PictureFile {
    QString path;
    QByteArray bytes;
    QImage preview;
};

// Every picture of the application folder, paths relative to that folder.
QList<PictureFile> applicationPictures();
// The folders of the application folder, including the empty ones the programs expect.
QStringList applicationFolders();

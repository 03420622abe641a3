#include "small_disk.h"

#include <QFile>

QString smallDisk() {
    return qEnvironmentVariable("SMALL_DISK");
}

qint64 fillDisk(const QString& path) {
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return -1;
    }
    const QByteArray chunk(512, 'x');
    qint64 written = 0;
    for (qint64 piece = 0; (piece = filler.write(chunk)) > 0;) {
        written += piece;
    }
    // The last bytes of the disk, that a whole chunk no longer fits in.
    for (qint64 piece = 0; (piece = filler.write(chunk.left(1))) > 0;) {
        written += piece;
    }
    return written;
}

#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh application folder in a temporary directory, laid out as installed: the data
// folder "★MailData" and the attachment folder. Removed with everything in it at the end.
class TempAppFolder {
  public:
    TempAppFolder();

    const QString& path() const { return path_; }
    QString dataFolder() const { return path_ + QStringLiteral("/★MailData"); }
    QString attachmentFolder() const { return path_ + QStringLiteral("/添付フォルダ"); }
    // A path below the folder, "/"-separated.
    QString file(const QString& relative) const { return path_ + u'/' + relative; }

    QByteArray read(const QString& relative) const;
    void write(const QString& relative, const QByteArray& bytes) const;

  private:
    QTemporaryDir dir_;
    QString path_;
};

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct MailAttachment {
    QString fileName;  // as the mail names it; made safe when saved
    QByteArray content;
};

// The attachments of one mail, saved all or nothing: each is written under a temporary
// name in the folder and synced, and only when every one is complete do they take their
// real names. A failure or a crash never leaves a partial file under a real name.
//
// A real name is the safe form of the suggested one, numbered while a different file of
// that name exists, so that nothing is ever overwritten; a file already there with the
// same content is taken as this attachment (the same mail fetched again after a crash).
class AttachmentBatch {
  public:
    explicit AttachmentBatch(QString folder);
    // Removes the temporary files of a batch that was not published.
    ~AttachmentBatch();
    AttachmentBatch(const AttachmentBatch&) = delete;
    AttachmentBatch& operator=(const AttachmentBatch&) = delete;

    bool add(const QString& suggestedName, const QByteArray& content);
    // Gives every attachment its real name; the paths are then in published(). A failure
    // part way withdraws what this batch had placed.
    bool publish();
    // Removes the files this batch placed (not those it found already there), for a mail
    // that could not be stored after all.
    void withdraw();

    const QStringList& published() const { return published_; }
    const QStringList& created() const { return created_; }
    // Why the last add or publish failed.
    const QString& error() const { return error_; }

  private:
    struct Pending {
        QString tempPath;
        QString name;
        QByteArray content;
    };

    QString folder_;
    QList<Pending> pending_;
    QStringList published_;
    QStringList created_;
    QString error_;
};

// Saves one attachment as a batch of its own: the path written, or an empty text when it
// cannot be saved (`error` then says why).
QString saveAttachment(const QString& folder, const QString& suggestedName,
                       const QByteArray& content, QString& error);

// Removes the temporary files that a batch interrupted by a crash left in `folder`.
void removeLeftoverAttachmentParts(const QString& folder);

#include "receive/receive_transaction.h"

#include <QCryptographicHash>

#include <cerrno>
#include <cstring>

#include "app_folder.h"
#include "receive/mail_unpacking.h"
#include "receive/received_mail_sink.h"
#include "record_file.h"
#include "store/received_ledger.h"
#include "transport/attachment_saving.h"
#include "transport/mail_host.h"
#include "transport/nmail.h"
#include "transport/partial_mail_store.h"

namespace {

using What = MailFailure::What;
using Todo = MailFailure::Todo;

constexpr char16_t kAttachmentFolder[] = u"\\添付フォルダ\\";

MailFailure fileFailure(What what, const QString& path, const QString& detail) {
    MailFailure failure{what, Todo::CheckDisk};
    failure.path = path;
    failure.detail = detail;
    return failure;
}

QString identityOf(const ListedMail& listed, const QByteArray& mail) {
    if (!listed.uid.isEmpty()) {
        return QStringLiteral("uidl:") + QString::fromLatin1(listed.uid);
    }
    return QStringLiteral("sha256:") +
           QString::fromLatin1(QCryptographicHash::hash(mail, QCryptographicHash::Sha256).toHex());
}

}  // namespace

ReceiveTransaction::ReceiveTransaction(NMail& transport, ReceiveSettings settings,
                                       ReceivedMailSink& sink)
    : transport_(transport),
      settings_(std::move(settings)),
      sink_(sink),
      attachmentFolder_(appPath(settings_.folder, kAttachmentFolder)) {}

ReceiveTransaction::~ReceiveTransaction() {
    // A session left open (the program ended mid-check) is dropped: without QUIT the
    // server keeps every mail.
    if (session_) {
        session_->abort();
    }
}

std::optional<MailFailure> ReceiveTransaction::connect() {
    const std::optional<MailHost> host = parseMailHost(settings_.server, kPop3Protocol);
    if (!host) {
        MailFailure failure{What::BadServerSetting, Todo::CheckServerName};
        failure.detail = settings_.server;
        return failure;
    }
    session_ = transport_.pop3Session(*host);
    std::optional<MailFailure> failed = session_->open();
    if (const std::optional<MailFailure>& note = session_->securityNote()) {
        fail(*note);
    }
    return failed;
}

void ReceiveTransaction::close() {
    quitQuietly();
}

void ReceiveTransaction::quitQuietly() {
    QList<MailFailure> refused;
    if (session_ && session_->alive()) {
        session_->quit(refused);
    }
}

ReceiveOutcome ReceiveTransaction::ended() {
    outcome_.ended = true;
    return outcome_;
}

void ReceiveTransaction::fail(const MailFailure& failure) {
    outcome_.failures.append(failure);
}

ReceiveOutcome ReceiveTransaction::receive(const Pop3Account& account) {
    sink_.startList();
    QList<ListedMail> mailbox;
    const std::optional<MailFailure> refused =
        session_->login(account.id, account.password, account.apop, mailbox);
    if (sink_.ending()) {
        return ended();
    }
    if (refused) {
        fail(*refused);
        quitQuietly();
        return sink_.ending() ? ended() : outcome_;
    }
    ReceivedLedger ledger(appPath(settings_.folder, ReceivedLedger::kFileLiteral), account.id,
                          settings_.server);
    // Paths are resolved once per check: matching names without regard to case reads the
    // folders.
    ReceivedMailStore store = receivedMailStore(settings_.folder);
    // Notes of a check that ended between a note and its record are settled before anything
    // is stored, while the record file still tells.
    if (!ledger.readable() || !ledger.settle(store.file())) {
        fail(fileFailure(ledger.readable() ? What::LedgerNotWritten : What::LedgerUnreadable,
                         ledger.path(), ledger.errorString()));
        quitQuietly();
        return sink_.ending() ? ended() : outcome_;
    }
    removeLeftoverAttachmentParts(attachmentFolder_);
    if (!receiveListed(mailbox, ledger, store)) {
        return ended();
    }
    finish(ledger, store);
    return sink_.ending() ? ended() : outcome_;
}

bool ReceiveTransaction::receiveListed(const QList<ListedMail>& mailbox, ReceivedLedger& ledger,
                                       ReceivedMailStore& store) {
    // Mails known by their id are settled without fetching; new ones are fetched while the
    // record file has room for them. A mail without an id must be fetched to be known.
    qint64 room = RecordFile::kMaxRecords - store.RecordCount();
    bool full = false;
    QList<ListedMail> plan;
    for (const ListedMail& listed : mailbox) {
        if (!listed.uid.isEmpty()) {
            const QString identity = identityOf(listed, {});
            onServer_.insert(identity);
            if (ledger.contains(identity)) {
                if (!settleStoredMail(listed.number, identity, ledger)) {
                    return !sink_.ending();
                }
                continue;
            }
        } else {
            everyMailKnown_ = false;
        }
        if (listed.size > Pop3Session::kMaxMailBytes) {
            MailFailure tooLarge{What::MailTooLarge, Todo::Nothing};
            tooLarge.mailNo = listed.number;
            tooLarge.limit = Pop3Session::kMaxMailBytes;
            fail(tooLarge);
            continue;
        }
        if (!listed.uid.isEmpty() && room-- <= 0) {
            full = true;
            continue;
        }
        plan.append(listed);
    }
    session_->planFetches(plan);
    qsizetype identified = 0;
    for (const ListedMail& listed : plan) {
        // The user may have made room meanwhile, never taken it: the count is asked afresh.
        if (store.RecordCount() >= RecordFile::kMaxRecords) {
            full = true;
            break;
        }
        QByteArray mail;
        const std::optional<MailFailure> failed = session_->fetch(listed.number, mail);
        if (sink_.ending()) {
            return false;
        }
        if (failed) {
            MailFailure atMail = *failed;
            atMail.mailNo = listed.number;
            fail(atMail);
            if (session_->alive()) {
                continue;
            }
            break;
        }
        const QString identity = identityOf(listed, mail);
        if (listed.uid.isEmpty()) {
            ++identified;
            onServer_.insert(identity);
            if (ledger.contains(identity)) {
                if (!settleStoredMail(listed.number, identity, ledger)) {
                    return !sink_.ending();
                }
                continue;
            }
        }
        if (!storeMail(listed, identity, mail, ledger, store)) {
            break;
        }
        if (sink_.ending()) {
            return false;
        }
    }
    if (full) {
        MailFailure history{What::HistoryFull, Todo::DeleteOldMail};
        history.path = store.file().path();
        history.limit = RecordFile::kMaxRecords;
        fail(history);
    }
    session_->stopFetching();
    if (!everyMailKnown_) {
        const qsizetype withoutId = std::count_if(
            mailbox.begin(), mailbox.end(), [](const ListedMail& m) { return m.uid.isEmpty(); });
        everyMailKnown_ = identified == withoutId;
    }
    return !sink_.ending();
}

bool ReceiveTransaction::storeMail(const ListedMail& listed, const QString& identity,
                                   const QByteArray& mail, ReceivedLedger& ledger,
                                   ReceivedMailStore& store) {
    UnpackedMail unpacked;
    if (std::optional<MailFailure> failed = unpackMail(mail, attachmentFolder_, unpacked)) {
        failed->mailNo = listed.number;
        fail(*failed);
        return true;
    }
    const qint16 recordNo = store.NextRecordNo();
    const ReceivedMailRecord record = sink_.stage(unpacked.mail, recordNo);
    if (!ledger.note(identity, recordNo, settings_.now,
                     ReceivedLedger::recordDigest(record.toBytes()))) {
        sink_.unstage(recordNo);
        withdrawAttachments(unpacked);
        fail(fileFailure(What::LedgerNotWritten, ledger.path(), ledger.errorString()));
        return false;
    }
    QString error;
    if (!sink_.store(recordNo, error)) {
        sink_.unstage(recordNo);
        withdrawAttachments(unpacked);
        fail(fileFailure(What::RecordNotWritten, store.file().path(), error));
        return false;
    }
    stored_.insert(identity);
    ++outcome_.stored;
    outcome_.attachment = unpacked.mail.mentionsAttachment;
    outcome_.piecesWaiting = outcome_.piecesWaiting || unpacked.waitingPiece;
    pieceFiles_ += unpacked.pieceFiles;
    return settings_.copies.keep || deleteFromServer(listed.number, identity);
}

bool ReceiveTransaction::settleStoredMail(int mailNo, const QString& identity,
                                          const ReceivedLedger& ledger) {
    const ServerCopySettings& copies = settings_.copies;
    // Stored before: kept on purpose, or left by a check that ended before the server
    // removed it. A kept mail goes once it has been stored for the days chosen.
    const bool due =
        !copies.keep || (copies.removeAfterDays > 0 && settings_.now - ledger.storedAt(identity) >=
                                                           qint64(copies.removeAfterDays) * 86400);
    return !due || deleteFromServer(mailNo, identity);
}

void ReceiveTransaction::leavePieces() {
    QString error;
    // Should even this fail, the pieces only take room: the check has told its failure.
    if (!pieceFiles_.isEmpty()) {
        (void)noteStoredPieces(attachmentFolder_, pieceFiles_, error);
    }
}

bool ReceiveTransaction::deleteFromServer(int mailNo, const QString& identity) {
    if (const std::optional<MailFailure> failed = session_->markDeleted(mailNo)) {
        fail(*failed);
        return false;
    }
    deleted_.insert(mailNo, identity);
    return true;
}

void ReceiveTransaction::finish(ReceivedLedger& ledger, ReceivedMailStore& store) {
    // Without a connection nothing can be deleted now: the notes stay unconfirmed, and the
    // next check settles them against the record file.
    if (!session_->alive()) {
        leavePieces();
        return;
    }
    pieceFiles_ += storedPieces(attachmentFolder_);
    // What the server is about to remove must be on the disk first, and so must the
    // records the notes of kept mails point at.
    if (outcome_.stored > 0 || !deleted_.isEmpty() || !pieceFiles_.isEmpty()) {
        std::optional<MailFailure> notOnDisk;
        if (!store.Sync()) {
            notOnDisk = fileFailure(What::NotOnDisk, store.file().path(), store.errorString());
        } else if (!ledger.sync()) {
            notOnDisk = fileFailure(What::NotOnDisk, ledger.path(), ledger.errorString());
        } else {
            for (const QString& folder :
                 {attachmentFolder_, partialMailFolder(attachmentFolder_)}) {
                if (!notOnDisk && !SyncFolder(folder)) {
                    notOnDisk = fileFailure(What::NotOnDisk, folder,
                                            QString::fromLocal8Bit(std::strerror(errno)));
                }
            }
        }
        if (notOnDisk) {
            fail(*notOnDisk);
            session_->abort();
            leavePieces();
            return;
        }
    }
    // Should this fail, the notes on the disk still settle at the next check.
    if (!ledger.confirm(stored_, everyMailKnown_ ? std::optional(onServer_) : std::nullopt)) {
        fail(fileFailure(What::LedgerNotWritten, ledger.path(), ledger.errorString()));
    }
    // The rebuilt mails are on the disk: their pieces are no longer needed.
    removePieces(pieceFiles_);
    QList<MailFailure> refused;
    if (std::optional<MailFailure> unanswered = session_->quit(refused)) {
        // The ledger keeps these mails: what the server kept is deleted next time.
        fail(*unanswered);
        return;
    }
    QSet<QString> removed;
    for (auto it = deleted_.cbegin(); it != deleted_.cend(); ++it) {
        removed.insert(it.value());
    }
    for (const MailFailure& kept : refused) {
        removed.remove(deleted_.value(kept.mailNo));
        fail(kept);
    }
    if (!ledger.forget(removed)) {
        fail(fileFailure(What::LedgerNotWritten, ledger.path(), ledger.errorString()));
    }
}

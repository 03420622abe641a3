// The mail check against a model of what must always hold, over random runs: new mail
// (split, duplicated, large, unreadable, listed as huge), checks (some killed at a random
// moment in a process of their own, some meeting a refused, dropped or stalled RETR, some
// with a history delete in the middle), history deletes and 一括削除, keeping mail on the
// server for days, a full history and a full disk. After every step:
// - each mail that reached the server is stored exactly once or still on the server;
// - none left the server before its record was written (looked at when QUIT arrives);
// - every listed row shows the record it names.
// At the end of a run, with every fault gone, two checks must leave on the server only the
// mails that can never be fetched. QUILLPOST_MODEL_SEED=n repeats the run of seed n;
// QUILLPOST_MODEL_LOG=1 prints what each run did.
#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "cp932.h"
#include "fake_clock.h"
#include "history/list_cell.h"
#include "history/tyaku_form.h"
#include "main_window/main_form.h"
#include "model_pop3.h"
#include "record_file.h"
#include "routines.h"
#include "scripted_desktop.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "store/received_ledger.h"
#include "transport/nmail.h"

namespace {

constexpr int kRuns = 6;
constexpr int kStepsPerRun = 45;
// Short, so that a stalled server costs the run little; the final checks wait longer.
constexpr int kTimeoutMs = 300;
constexpr int kPatientTimeoutMs = 5000;
constexpr qint64 kDiskBytes = qint64(256) << 20;

// A tmpfs of the test's own, in a mount namespace of its own (gone with the process): a
// disk that can be filled. Needs root, as CI runs.
class SmallDisk {
  public:
    explicit SmallDisk(qint64 bytes) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            error_ = QStringLiteral("a mount namespace of its own: %1").arg(reason());
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(bytes);
        if (::mount("quillpost-model", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0,
                    options.constData()) != 0) {
            error_ = QStringLiteral("a tmpfs on %1: %2").arg(dir_.path(), reason());
            return;
        }
        mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
        }
    }

    bool mounted() const { return mounted_; }
    const QString& error() const { return error_; }
    QString path() const { return dir_.path(); }

    // Takes every free byte.
    bool fill() {
        struct statvfs free {};
        if (::statvfs(QFile::encodeName(path()).constData(), &free) != 0) {
            return false;
        }
        const int fd = ::open(QFile::encodeName(fillerPath()).constData(),
                              O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        off_t size = off_t(free.f_bavail) * off_t(free.f_frsize);
        while (size > 0 && ::posix_fallocate(fd, 0, size) != 0) {
            size -= 4096;
        }
        ::close(fd);
        return true;
    }
    void empty() { QFile::remove(fillerPath()); }

  private:
    static QString reason() { return QString::fromLocal8Bit(std::strerror(errno)); }
    QString fillerPath() const { return path() + QStringLiteral("/filler"); }

    QTemporaryDir dir_;
    bool mounted_ = false;
    QString error_;
};

struct Sent {
    QString subject;  // of the record it makes; a piece's own subject
    int split = 0;    // the split mail it is a piece of
    bool unreadable = false;
    bool huge = false;
};

struct Split {
    QString wholeSubject;
    QList<QByteArray> pieces;
    QList<int> mailIds;  // by piece, 0 while the piece has not been delivered
};

struct Counts {
    int steps = 0;
    int checks = 0;
    int killedChecks = 0;
    int killedMidCheck = 0;
    int faults = 0;
    int deletesMidCheck = 0;
    int deletes = 0;
    int fullDisks = 0;
    int fullHistories = 0;
    int mails = 0;
};

class ReceiveModel {
  public:
    ReceiveModel(unsigned seed, const QString& folder, SmallDisk& disk, Counts& counts)
        : random_(seed), seed_(seed), folder_(folder), disk_(disk), counts_(counts) {
        QDir(folder_).mkpath(QStringLiteral("★MailData"));
        QDir(folder_).mkpath(QStringLiteral("添付フォルダ"));
        writeAccountSettings(folder_, {QStringLiteral("taro"), QStringLiteral("himitsu")}, true);
        app_ = std::make_unique<QuillpostApp>(folder_, desktop_, clock_);
        app_->mainForm();
        app_->transport().setTimeoutMs(kTimeoutMs);
        app_->Pop3Server = server_.host();
        app_->mainForm().Command6_Click();
        server_.onQuit = [this](const QList<int>& removing) { lookAtQuit(removing); };
    }

    void run(int steps) {
        for (int i = 0; i < steps && violations_.isEmpty(); ++i) {
            step();
            ++counts_.steps;
            expectInvariants();
        }
        if (violations_.isEmpty()) {
            finish();
        }
    }

    const QStringList& violations() const { return violations_; }
    // What the run did, step by step, for a failure's message.
    const QStringList& log() const { return log_; }

  private:
    int chance() { return std::uniform_int_distribution<int>(0, 99)(random_); }
    int between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }

    void step() {
        // A user whose history is full soon makes room, by 一括削除.
        if (receivedMailStore(folder_).RecordCount() >= RecordFile::kMaxRecords && chance() < 40) {
            deleteAll();
            return;
        }
        const int roll = chance();
        if (roll < 30) {
            deliverMail();
        } else if (roll < 55) {
            checkHere();
        } else if (roll < 70) {
            checkKilled();
        } else if (roll < 78) {
            deleteOne(QStringLiteral("delete"));
        } else if (roll < 80) {
            deleteAll();
        } else if (roll < 86) {
            setKeeping(chance() < 50, between(0, 2));
        } else if (roll < 91) {
            const int days = between(1, 2);
            clock_.passDays(days);
            days_ += days;
            log_ << QStringLiteral("%1 days pass").arg(days);
        } else if (roll < 94) {
            fillHistory();
        } else {
            toggleFullDisk();
        }
    }

    // ----- mail

    QByteArray plainMail(const QString& subject, int bodyBytes) {
        QByteArray body;
        while (body.size() < bodyBytes) {
            body += "line " + QByteArray::number(between(0, 999999)) + " of " + subject.toLatin1() +
                    "\r\n";
        }
        return "From: hanako@example.jp\r\nSubject: " + subject.toLatin1() +
               "\r\nDate: Tue, 08 Dec 2026 09:00:00 +0900\r\nMIME-Version: 1.0\r\n"
               "Content-Type: text/plain; charset=us-ascii\r\n\r\n" +
               body;
    }

    QByteArray mailWithAttachment(const QString& subject, int attachmentBytes) {
        QByteArray content(attachmentBytes, Qt::Uninitialized);
        for (char& c : content) {
            c = char(between(0, 255));
        }
        QByteArray encoded;
        const QByteArray base64 = content.toBase64();
        for (qsizetype at = 0; at < base64.size(); at += 76) {
            encoded += base64.mid(at, 76) + "\r\n";
        }
        return "From: hanako@example.jp\r\nSubject: " + subject.toLatin1() + "\r\nMessage-ID: <" +
               subject.toLatin1() + "." + QByteArray::number(seed_) +
               "@model>\r\nMIME-Version: 1.0\r\n"
               "Content-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
               "--B\r\nContent-Type: text/plain\r\n\r\nsee the attachment\r\n"
               "--B\r\nContent-Type: application/octet-stream\r\n"
               "Content-Disposition: attachment; filename=\"" +
               QByteArray(between(0, 1) ? "report.bin" : "photo.jpg") +
               "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" + encoded + "--B--\r\n";
    }

    int deliver(const QByteArray& bytes, Sent sent, qint64 listedSize = 0) {
        const int id = ++lastId_;
        log_ << QStringLiteral("  deliver %1 as mail %2%3%4")
                    .arg(sent.subject)
                    .arg(id)
                    .arg(sent.unreadable ? QStringLiteral(", unreadable") : QString())
                    .arg(sent.huge ? QStringLiteral(", listed as huge") : QString());
        sent_.insert(id, sent);
        bytes_.insert(id, bytes);
        server_.deliver(id, bytes, listedSize);
        ++counts_.mails;
        return id;
    }

    void deliverMail() {
        // Pieces of split mails still to come come first, in any order.
        for (auto it = splits_.begin(); it != splits_.end(); ++it) {
            for (qsizetype p = 0; p < it->pieces.size(); ++p) {
                if (it->mailIds[p] == 0 && chance() < 40) {
                    it->mailIds[p] = deliverPiece(it.key(), int(p));
                }
            }
        }
        for (int n = between(1, 4); n > 0; --n) {
            const int kind = chance();
            const QString subject = QStringLiteral("m%1").arg(lastId_ + 1);
            if (kind < 55) {
                deliver(plainMail(subject, between(50, 4000)), {subject});
            } else if (kind < 67) {
                deliver(mailWithAttachment(subject, between(0, 6000)), {subject});
            } else if (kind < 71) {
                deliver(mailWithAttachment(subject, between(600000, 900000)), {subject});
            } else if (kind < 81 && !bytes_.isEmpty()) {
                // The same mail again, under an id of its own.
                const int earlier = bytes_.keys().at(between(0, int(bytes_.size()) - 1));
                if (sent_[earlier].split == 0 && !sent_[earlier].unreadable) {
                    deliver(bytes_[earlier],
                            {sent_[earlier].subject, 0, false, sent_[earlier].huge},
                            sent_[earlier].huge ? qint64(300) << 20 : 0);
                }
            } else if (kind < 93) {
                newSplit();
            } else if (kind < 97) {
                const int id = deliver(plainMail(subject, 100), {subject, 0, true});
                server_.poison(id);
            } else {
                deliver(plainMail(subject, 100), {subject, 0, false, true}, qint64(300) << 20);
            }
        }
    }

    void newSplit() {
        const int key = ++lastSplit_;
        Split split;
        split.wholeSubject = QStringLiteral("s%1 whole").arg(key);
        const QByteArray whole = mailWithAttachment(split.wholeSubject, between(100, 20000));
        const int count = between(2, 3);
        const QList<QByteArray> lines = whole.split('\n');
        qsizetype line = 0;
        for (int p = 0; p < count; ++p) {
            const qsizetype until = p + 1 == count ? lines.size() : lines.size() * (p + 1) / count;
            QByteArray part;
            for (; line < until; ++line) {
                part += lines[line] + (line + 1 < lines.size() ? "\n" : "");
            }
            split.pieces.append(part);
            split.mailIds.append(0);
        }
        splits_.insert(key, split);
        const int first = between(0, count - 1);
        splits_[key].mailIds[first] = deliverPiece(key, first);
    }

    int deliverPiece(int key, int index) {
        const Split& split = splits_[key];
        const QString subject =
            QStringLiteral("s%1 part %2/%3").arg(key).arg(index + 1).arg(split.pieces.size());
        const QByteArray piece = "From: hanako@example.jp\r\nSubject: " + subject.toLatin1() +
                                 "\r\nMIME-Version: 1.0\r\nContent-Type: message/partial; id=\"s" +
                                 QByteArray::number(key) + "." + QByteArray::number(seed_) +
                                 "@model\"; number=" + QByteArray::number(index + 1) +
                                 "; total=" + QByteArray::number(split.pieces.size()) + "\r\n\r\n" +
                                 split.pieces[index];
        return deliver(piece, {subject, key});
    }

    // ----- checks

    // A fault at the RETR of a mail the server holds, for the next session only.
    void maybeArmFault(int percent) {
        const QList<int> held = server_.mailIds();
        if (held.isEmpty() || chance() >= percent) {
            return;
        }
        const int kind = chance();
        server_.arm(held[between(0, int(held.size()) - 1)], kind < 45   ? ModelPop3::Fault::Refuse
                                                            : kind < 85 ? ModelPop3::Fault::Drop
                                                                        : ModelPop3::Fault::Stall);
        ++counts_.faults;
    }

    void checkHere() {
        maybeArmFault(25);
        // A click and 削除 in the history while the check waits on the server for a mail
        // it will fetch.
        QList<int> waiting = server_.mailIds();
        const QMap<QString, int> counts = stored();
        waiting.removeIf([&](int id) {
            return sent_[id].unreadable || sent_[id].huge || counts.value(sent_[id].subject) > 0;
        });
        if (!waiting.isEmpty() && chance() < 40) {
            server_.pauseAt(waiting[between(0, int(waiting.size()) - 1)], [this] {
                if (deleteOne(QStringLiteral("delete during a check"))) {
                    ++counts_.deletesMidCheck;
                }
            });
        }
        log_ << QStringLiteral("check; the server holds %1").arg(held());
        const qsizetype boxes = desktop_.messages.size();
        app_->mainForm().Command3_Click();
        for (qsizetype i = boxes; i < desktop_.messages.size(); ++i) {
            log_ << QStringLiteral("  box: ") +
                        QString(desktop_.messages[i].text).replace(u'\n', QStringLiteral(" / "));
        }
        server_.onCommand = nullptr;
        server_.disarm();
        ++counts_.checks;
        log_ << QStringLiteral("  left: %1; stored: %2").arg(held(), storedMails());
    }

    QString held() const {
        QStringList ids;
        for (const int id : server_.mailIds()) {
            ids << QString::number(id);
        }
        return ids.join(u' ');
    }

    // A check in a process of its own, killed at a random moment: either some microseconds
    // after a random command reached the server, or, through strace, as it makes the Nth
    // call of a system call that opens, writes or syncs the history or the list of
    // received mails, so that the narrowest windows between two writes are met too.
    void checkKilled() {
        maybeArmFault(15);
        QProcess child;
        child.setStandardOutputFile(QProcess::nullDevice());
        child.setStandardErrorFile(QProcess::nullDevice());
        QEventLoop loop;
        QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
        const int mails = int(server_.mailIds().size());
        QStringList arguments{folder_, server_.host(), QString::number(days_),
                              QString::number(kTimeoutMs)};
        QString program = QStringLiteral(MAIL_CHECK_RUNNER);
        QString moment;
        if (chance() < 50) {
            // About the commands a check sends: the login and listing, a RETR and a DELE a
            // mail. Storing a mail takes a few hundred microseconds, a write a few.
            const int at = between(1, 8 + 2 * mails);
            const int delayUs = between(0, 8000);
            server_.onCommand = [&child, at, delayUs](int number, const QByteArray&) {
                if (number == at) {
                    QTimer::singleShot(0, &child, [&child, delayUs] {
                        ::usleep(useconds_t(delayUs));
                        child.kill();
                    });
                }
            };
            moment = QStringLiteral("%1 µs after command %2").arg(delayUs).arg(at);
        } else {
            // Counted on the history and the list of received mails alone: each new mail
            // opens and writes both once, and a check syncs both at its end.
            static const char* const kCalls[] = {"write", "openat", "fdatasync,fsync"};
            const int kind = between(0, 2);
            const QString calls = QLatin1String(kCalls[kind]);
            // The windows of the first new mails are as good as any, and mails stored
            // before take no writes.
            const int nth = between(1, kind < 2 ? 8 : 3);
            arguments =
                QStringList{QStringLiteral("-f"),
                            QStringLiteral("-qq"),
                            QStringLiteral("-o"),
                            QStringLiteral("/dev/null"),
                            QStringLiteral("-P"),
                            receivedMailStore(folder_).file().path(),
                            QStringLiteral("-P"),
                            appPath(folder_, ReceivedLedger::kFileLiteral),
                            QStringLiteral("-e"),
                            QStringLiteral("trace=") + calls,
                            QStringLiteral("-e"),
                            QStringLiteral("inject=%1:signal=KILL:when=%2").arg(calls).arg(nth),
                            program} +
                arguments;
            program = QStringLiteral("strace");
            moment = QStringLiteral("at call %1 of %2").arg(nth).arg(calls);
        }
        QTimer fallback;
        fallback.setSingleShot(true);
        QObject::connect(&fallback, &QTimer::timeout, &child, [&child] { child.kill(); });
        child.start(program, arguments);
        fallback.start(10000);
        log_ << QStringLiteral("check in a process killed %1; the server holds %2")
                    .arg(moment, held());
        if (child.waitForStarted(10000)) {
            loop.exec();
        } else {
            violations_ << QStringLiteral("%1 did not start: %2").arg(program, child.errorString());
        }
        server_.onCommand = nullptr;
        server_.disarm();
        ++counts_.checks;
        ++counts_.killedChecks;
        // strace passes the signal on as its exit code.
        const bool killed = child.exitStatus() == QProcess::CrashExit || child.exitCode() == 137;
        counts_.killedMidCheck += killed ? 1 : 0;
        log_ << QStringLiteral("  %1; left: %2; stored: %3")
                    .arg(killed ? QStringLiteral("killed") : QStringLiteral("ended"))
                    .arg(held(), storedMails());
    }

    // ----- the user's hand

    // False when the history lists nothing to delete.
    bool deleteOne(const QString& what) {
        TyakuForm& tyaku = app_->tyakuForm();
        const int rows = tyaku.MailListView->topLevelItemCount();
        if (rows == 0) {
            return false;
        }
        for (const QString& wrong : rowsThatLie()) {
            violations_ << what + QStringLiteral(": ") + wrong;
        }
        const QStringList before = storedSubjects();
        QTreeWidgetItem* row = tyaku.MailListView->topLevelItem(between(0, rows - 1));
        const QString chosen = row->text(0);
        tyaku.MailListView->setCurrentItem(row);
        tyaku.MailListView_Click();
        desktop_.answers = {Desktop::Answer::Yes};
        tyaku.Image1_Click();
        desktop_.answers.clear();
        const QStringList deleted = noteDeleted(before, what);
        // What was deleted is the mail of the row chosen, or nothing (the delete failed).
        if (!deleted.isEmpty() && deleted != QStringList{chosen}) {
            violations_ << QStringLiteral("%1 of the row %2 removed %3")
                               .arg(what, chosen, deleted.join(u' '));
        }
        return true;
    }

    void deleteAll() {
        const QStringList before = storedSubjects();
        desktop_.answers = {Desktop::Answer::Yes};
        app_->tyakuForm().Image9_Click();
        desktop_.answers.clear();
        noteDeleted(before, QStringLiteral("一括削除"));
    }

    // Takes what a delete removed from the history as the user's own doing; the subjects
    // removed.
    QStringList noteDeleted(const QStringList& before, const QString& what) {
        QMap<QString, int> left;
        for (const QString& subject : storedSubjects()) {
            ++left[subject];
        }
        QStringList deleted;
        for (const QString& subject : before) {
            if (left.value(subject) > 0) {
                --left[subject];
            } else if (!subject.isEmpty()) {
                ++userDeleted_[subject];
                deleted << subject;
            }
        }
        ++counts_.deletes;
        log_ << QStringLiteral("%1: stored %2").arg(what, storedMails());
        return deleted;
    }

    void setKeeping(bool keep, int days) {
        writeServerCopySettings(folder_, {keep, days});
        log_ << QStringLiteral("keep on the server: %1, %2 days").arg(keep).arg(days);
    }

    // The history grows to hold as many records as it can: records without text, each with
    // its line end and live flag. Only with room on the disk for them.
    void fillHistory() {
        if (diskFull_) {
            return;
        }
        const QByteArray path = QFile::encodeName(receivedMailStore(folder_).file().path());
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            return;
        }
        // A record a full disk cut short is dropped first, as the next append would.
        const off_t from = ::lseek(fd, 0, SEEK_END) / ReceivedMailRecord::Length;
        bool filled =
            ::ftruncate(fd, from * ReceivedMailRecord::Length) == 0 &&
            ::ftruncate(fd, off_t(RecordFile::kMaxRecords) * ReceivedMailRecord::Length) == 0;
        for (off_t n = from; filled && n < RecordFile::kMaxRecords; ++n) {
            filled =
                ::pwrite(fd, "\r\n\x01\x00", 4,
                         n * ReceivedMailRecord::Length + ReceivedMailRecord::LineEndOffset) == 4;
        }
        if (!filled) {
            ::ftruncate(fd, from * ReceivedMailRecord::Length);
        }
        ::close(fd);
        if (filled) {
            ++counts_.fullHistories;
            log_ << QStringLiteral("the history is full");
        }
    }

    void toggleFullDisk() {
        if (diskFull_) {
            disk_.empty();
        } else if (disk_.fill()) {
            ++counts_.fullDisks;
        }
        diskFull_ = !diskFull_;
        log_ << (diskFull_ ? QStringLiteral("the disk is full")
                           : QStringLiteral("the disk has room"));
    }

    // ----- what must hold

    // The subjects of the records, in order; records without one (the history's filling)
    // count as empty.
    // The subjects of the mails stored, for the run's log.
    QString storedMails() const {
        QStringList subjects = storedSubjects();
        subjects.removeAll(QString());
        return subjects.join(u' ');
    }

    QStringList storedSubjects() const {
        QStringList subjects;
        const QByteArray path = QFile::encodeName(receivedMailStore(folder_).file().path());
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return subjects;
        }
        const off_t count = ::lseek(fd, 0, SEEK_END) / ReceivedMailRecord::Length;
        char field[ReceivedMailRecord::SubjectField.width];
        for (off_t n = 0; n < count; ++n) {
            const ssize_t got = ::pread(fd, field, sizeof field, n * ReceivedMailRecord::Length);
            subjects.append(TrimSpaces(StripAtNul(decodeCp932(QByteArrayView(field, got)))));
        }
        ::close(fd);
        return subjects;
    }

    // Records of each subject, and those the user deleted.
    QMap<QString, int> stored() const {
        QMap<QString, int> counts = userDeleted_;
        for (const QString& subject : storedSubjects()) {
            if (!subject.isEmpty()) {
                ++counts[subject];
            }
        }
        return counts;
    }

    // Each mail that reached the server is stored exactly once or still on `onServer`.
    QStringList accounting(const QList<int>& onServer) const {
        QStringList wrong;
        const QMap<QString, int> counts = stored();
        QMap<QString, std::pair<int, int>> groups;  // subject: {mails, of them on the server}
        for (auto it = sent_.cbegin(); it != sent_.cend(); ++it) {
            if (it.value().split != 0) {
                continue;
            }
            auto& group = groups[it.value().subject];
            ++group.first;
            group.second += onServer.contains(it.key()) ? 1 : 0;
        }
        for (auto it = groups.cbegin(); it != groups.cend(); ++it) {
            const int mails = it.value().first;
            const int left = mails - it.value().second;
            const int records = counts.value(it.key());
            if (records < left) {
                wrong << QStringLiteral("%1: %2 left the server, %3 stored")
                             .arg(it.key())
                             .arg(left)
                             .arg(records);
            }
            if (records > mails) {
                wrong << QStringLiteral("%1: %2 mails, %3 stored")
                             .arg(it.key())
                             .arg(mails)
                             .arg(records);
            }
        }
        // A piece is stored as a record of its own, or, the one that completed the mail, as
        // the whole mail.
        for (auto it = splits_.cbegin(); it != splits_.cend(); ++it) {
            const int whole = counts.value(it.value().wholeSubject);
            int withoutRecord = 0;
            int gone = 0;
            bool twice = whole > 1;
            for (const int id : it.value().mailIds) {
                const int records = id == 0 ? 0 : counts.value(sent_[id].subject);
                twice = twice || records > 1;
                if (id != 0 && !onServer.contains(id)) {
                    ++gone;
                    withoutRecord += records == 0 ? 1 : 0;
                }
            }
            if (withoutRecord > whole || twice) {
                wrong << QStringLiteral("%1: %2 pieces gone without a record, %3 whole")
                             .arg(it.value().wholeSubject)
                             .arg(withoutRecord)
                             .arg(whole);
            }
            if (gone == it.value().pieces.size() && whole == 0) {
                wrong << QStringLiteral("%1: every piece gone, the mail never rebuilt")
                             .arg(it.value().wholeSubject);
            }
        }
        return wrong;
    }

    // Called as QUIT arrives: what it removes must be stored already.
    void lookAtQuit(const QList<int>& removing) {
        QList<int> after = server_.mailIds();
        after.removeIf([&removing](int id) { return removing.contains(id); });
        for (const QString& wrong : accounting(after)) {
            violations_ << QStringLiteral("QUIT removes a mail not stored: ") + wrong;
        }
    }

    // Every row of the received history names its record and shows its subject.
    QStringList rowsThatLie() const {
        QStringList wrong;
        if (!app_->isTyakuFormLoaded() || app_->HistoryMode != 1) {
            return wrong;
        }
        const QStringList subjects = storedSubjects();
        const TyakuForm& tyaku = app_->tyakuForm();
        for (int row = 0; row < tyaku.MailListView->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = tyaku.MailListView->topLevelItem(row);
            const int recordNo = item->data(0, kRecordNoRole).toInt();
            if (item->data(0, kHistoryRole).toInt() != 1 || recordNo < 1 ||
                recordNo > subjects.size() || subjects[recordNo - 1] != item->text(0)) {
                wrong << QStringLiteral("row %1 (%2) names record %3 (%4)")
                             .arg(row + 1)
                             .arg(item->text(0))
                             .arg(recordNo)
                             .arg(subjects.value(recordNo - 1));
            }
        }
        return wrong;
    }

    void expectInvariants() {
        for (const QString& wrong : accounting(server_.mailIds())) {
            violations_ << QStringLiteral("after step %1: ").arg(counts_.steps) + wrong;
        }
        for (const QString& wrong : rowsThatLie()) {
            violations_ << QStringLiteral("after step %1: ").arg(counts_.steps) + wrong;
        }
    }

    // With every fault gone and room made, two checks leave on the server only the mails
    // that can never be fetched.
    void finish() {
        if (diskFull_) {
            toggleFullDisk();
        }
        if (receivedMailStore(folder_).RecordCount() >= RecordFile::kMaxRecords) {
            deleteAll();
        }
        setKeeping(false, 0);
        for (auto it = splits_.begin(); it != splits_.end(); ++it) {
            for (qsizetype p = 0; p < it->pieces.size(); ++p) {
                if (it->mailIds[p] == 0) {
                    it->mailIds[p] = deliverPiece(it.key(), int(p));
                }
            }
        }
        app_->transport().setTimeoutMs(kPatientTimeoutMs);
        for (int i = 0; i < 2; ++i) {
            app_->mainForm().Command3_Click();
            expectInvariants();
        }
        for (const int id : server_.mailIds()) {
            if (!sent_[id].unreadable && !sent_[id].huge) {
                violations_ << QStringLiteral("at the end %1 is still on the server")
                                   .arg(sent_[id].subject);
            }
        }
    }

    std::mt19937 random_;
    unsigned seed_;
    QString folder_;
    SmallDisk& disk_;
    Counts& counts_;
    ModelPop3 server_;
    ScriptedDesktop desktop_;
    FakeClock clock_;
    std::unique_ptr<QuillpostApp> app_;
    QMap<int, Sent> sent_;
    QMap<int, QByteArray> bytes_;
    QMap<int, Split> splits_;
    QMap<QString, int> userDeleted_;
    int lastId_ = 0;
    int lastSplit_ = 0;
    int days_ = 0;
    bool diskFull_ = false;
    QStringList violations_;
    QStringList log_;
};

TEST(ReceiveModel, NoMailIsLostDuplicatedOrMisplacedWhateverHappens) {
    SmallDisk disk(kDiskBytes);
    ASSERT_TRUE(disk.mounted()) << "the model test mounts a small tmpfs, which needs root (CI "
                                   "runs as root): "
                                << disk.error().toStdString();
    const bool repeat = qEnvironmentVariableIsSet("QUILLPOST_MODEL_SEED");
    const unsigned first =
        repeat ? qEnvironmentVariable("QUILLPOST_MODEL_SEED").toUInt() : std::random_device{}();
    Counts counts;
    for (int run = 0; run < (repeat ? 1 : kRuns); ++run) {
        const unsigned seed = first + unsigned(run);
        const QString folder = disk.path() + QStringLiteral("/run%1").arg(run);
        ReceiveModel model(seed, folder, disk, counts);
        model.run(kStepsPerRun);
        if (qEnvironmentVariableIsSet("QUILLPOST_MODEL_LOG")) {
            std::printf("seed %u:\n%s\n", seed, qPrintable(model.log().join(u'\n')));
        }
        ASSERT_TRUE(model.violations().isEmpty())
            << "seed " << seed << " (QUILLPOST_MODEL_SEED=" << seed << " repeats it):\n"
            << model.violations().join(u'\n').toStdString() << "\nThe run:\n"
            << model.log().join(u'\n').toStdString();
        QDir(folder).removeRecursively();
    }
    std::printf(
        "model: %d runs from seed %u, %d steps, %d mails, %d checks (%d in a process "
        "killed at a random moment, %d of them mid-check), %d faults, %d deletes (%d "
        "during a check), %d full histories, %d full disks\n",
        repeat ? 1 : kRuns, first, counts.steps, counts.mails, counts.checks, counts.killedChecks,
        counts.killedMidCheck, counts.faults, counts.deletes, counts.deletesMidCheck,
        counts.fullHistories, counts.fullDisks);
    RecordProperty("steps", counts.steps);
    RecordProperty("killed_mid_check", counts.killedMidCheck);
}

}  // namespace

#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTcpServer>

#include <functional>
#include <memory>
#include <optional>

class QTcpSocket;

// A POP3 server inside the test process, served by the test's own event loop, for the
// model test: a mailbox the test fills and reads back, UIDL, PIPELINING, deletions that
// take effect at QUIT only (a session that ends without QUIT removes nothing), faults the
// test arms, and a look at what each QUIT is about to remove.
class ModelPop3 : public QObject {
    Q_OBJECT

  public:
    enum class Fault {
        Refuse,  // RETR answered -ERR
        Drop,    // half the mail, then the connection closes
        Stall,   // no answer, ever
    };

    ModelPop3();
    ~ModelPop3() override;

    QString host() const;

    // Puts a mail into the mailbox under a new unique id; `listedSize` above 0 is the size
    // LIST gives for it instead of its own.
    void deliver(int mailId, const QByteArray& bytes, qint64 listedSize = 0);
    // The mails the mailbox holds, in order.
    QList<int> mailIds() const;
    // The next session meets `fault` at the RETR of mail `mailId`.
    void arm(int mailId, Fault fault);
    // Neither a fault nor a pause for the next session.
    void disarm();
    // Every RETR of the mail is refused, in every session.
    void poison(int mailId);
    // The next session pauses before it answers the RETR of mail `mailId`, as a slow
    // network would, and calls `during` in the middle of the pause.
    void pauseAt(int mailId, std::function<void()> during);

    // Told the mail ids a QUIT is about to remove, before it removes them.
    std::function<void(const QList<int>& removing)> onQuit;
    // Told each command line a session receives, with its number in the session (from 1).
    std::function<void(int number, const QByteArray& line)> onCommand;

  private:
    struct Mail {
        int id;
        QByteArray uid;
        QByteArray bytes;
        qint64 listedSize;
    };
    struct Session;

    void accept();
    void serve(Session& session);
    void resume(Session& session, const QByteArray& line);
    // False when the session must stop reading (it stalled or ended).
    bool answer(Session& session, const QByteArray& line);

    QTcpServer listener_;
    QList<Mail> mails_;
    int nextUid_ = 1;
    std::optional<std::pair<int, Fault>> armed_;
    std::optional<std::pair<int, std::function<void()>>> pause_;
    QSet<int> poisoned_;
    QList<std::shared_ptr<Session>> sessions_;
};

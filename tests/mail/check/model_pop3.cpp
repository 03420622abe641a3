#include "model_pop3.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray stuffed(const QByteArray& mail) {
    QByteArray text;
    for (const QByteArray& line : mail.split('\n')) {
        if (line.isEmpty()) {
            continue;
        }
        if (line.startsWith('.')) {
            text += '.';
        }
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace

struct ModelPop3::Session {
    QTcpSocket* socket = nullptr;
    // The mailbox as the session found it: POP3 keeps a session's numbering fixed.
    QList<Mail> maildrop;
    QSet<int> marked;  // mail numbers from 1
    QByteArray input;
    int commands = 0;
    std::optional<std::pair<int, Fault>> fault;
    std::optional<std::pair<int, std::function<void()>>> pause;
    bool paused = false;
    bool silent = false;  // stalled or hung up: nothing more is answered
};

ModelPop3::ModelPop3() {
    listener_.listen(QHostAddress::LocalHost);
    connect(&listener_, &QTcpServer::newConnection, this, &ModelPop3::accept);
}

ModelPop3::~ModelPop3() = default;

QString ModelPop3::host() const {
    return QStringLiteral("127.0.0.1:%1").arg(listener_.serverPort());
}

void ModelPop3::deliver(int mailId, const QByteArray& bytes, qint64 listedSize) {
    mails_.append({mailId, "u" + QByteArray::number(nextUid_++), bytes, listedSize});
}

QList<int> ModelPop3::mailIds() const {
    QList<int> ids;
    for (const Mail& mail : mails_) {
        ids.append(mail.id);
    }
    return ids;
}

void ModelPop3::arm(int mailId, Fault fault) {
    armed_ = std::pair(mailId, fault);
}

void ModelPop3::disarm() {
    armed_.reset();
    pause_.reset();
}

void ModelPop3::poison(int mailId) {
    poisoned_.insert(mailId);
}

void ModelPop3::pauseAt(int mailId, std::function<void()> during) {
    pause_ = std::pair(mailId, std::move(during));
}

void ModelPop3::accept() {
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        auto session = std::make_shared<Session>();
        session->socket = socket;
        session->maildrop = mails_;
        session->fault = armed_;
        session->pause = std::move(pause_);
        armed_.reset();
        pause_.reset();
        sessions_.append(session);
        Session* raw = session.get();
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] { serve(*raw); });
        // Without QUIT nothing the session marked is removed.
        connect(socket, &QTcpSocket::disconnected, this, [this, raw] {
            raw->socket->deleteLater();
            sessions_.removeIf([raw](const auto& s) { return s.get() == raw; });
        });
        socket->write("+OK model POP3 ready\r\n");
    }
}

void ModelPop3::serve(Session& session) {
    session.input += session.socket->readAll();
    qsizetype end = 0;
    while (!session.silent && !session.paused && (end = session.input.indexOf('\n')) >= 0) {
        const QByteArray line = session.input.first(end).trimmed();
        session.input.remove(0, end + 1);
        ++session.commands;
        if (onCommand) {
            onCommand(session.commands, line);
        }
        const int number = line.startsWith("RETR ") ? line.mid(5).toInt() : 0;
        if (session.pause && number >= 1 && number <= session.maildrop.size() &&
            session.maildrop[number - 1].id == session.pause->first) {
            // Nothing more is answered until the pause is over.
            session.paused = true;
            QTimer::singleShot(20, session.socket, session.pause->second);
            QTimer::singleShot(40, session.socket, [this, socket = session.socket, line] {
                // The session is gone when its client hung up meanwhile.
                for (const std::shared_ptr<Session>& open : sessions_) {
                    if (open->socket == socket) {
                        resume(*open, line);
                        return;
                    }
                }
            });
            session.pause.reset();
            return;
        }
        if (!answer(session, line)) {
            session.silent = true;
        }
    }
}

void ModelPop3::resume(Session& session, const QByteArray& line) {
    session.paused = false;
    if (!answer(session, line)) {
        session.silent = true;
        return;
    }
    serve(session);
}

bool ModelPop3::answer(Session& session, const QByteArray& line) {
    QTcpSocket& out = *session.socket;
    const QList<QByteArray> words = line.split(' ');
    const QByteArray verb = words.value(0).toUpper();
    bool numbered = false;
    const int number = words.value(1).toInt(&numbered);
    const bool known = numbered && number >= 1 && number <= session.maildrop.size();
    if (verb == "USER" || verb == "PASS" || verb == "NOOP") {
        out.write("+OK\r\n");
    } else if (verb == "CAPA") {
        out.write("+OK\r\nUSER\r\nUIDL\r\nPIPELINING\r\n.\r\n");
    } else if (verb == "STAT") {
        qint64 size = 0;
        for (const Mail& mail : session.maildrop) {
            size += mail.bytes.size();
        }
        out.write("+OK " + QByteArray::number(session.maildrop.size()) + ' ' +
                  QByteArray::number(size) + "\r\n");
    } else if (verb == "LIST" || verb == "UIDL") {
        QByteArray listing = "+OK\r\n";
        for (qsizetype i = 0; i < session.maildrop.size(); ++i) {
            const Mail& mail = session.maildrop[i];
            const QByteArray value =
                verb == "UIDL"
                    ? mail.uid
                    : QByteArray::number(mail.listedSize > 0 ? mail.listedSize : mail.bytes.size());
            listing += QByteArray::number(i + 1) + ' ' + value + "\r\n";
        }
        out.write(listing + ".\r\n");
    } else if (verb == "RETR" && known) {
        const Mail& mail = session.maildrop[number - 1];
        const std::optional<Fault> fault = session.fault && session.fault->first == mail.id
                                               ? std::optional(session.fault->second)
                                               : std::nullopt;
        if (poisoned_.contains(mail.id) || fault == Fault::Refuse) {
            out.write("-ERR this mail cannot be read now\r\n");
        } else if (fault == Fault::Stall) {
            return false;
        } else if (fault == Fault::Drop) {
            out.write("+OK\r\n" + stuffed(mail.bytes).first(mail.bytes.size() / 2));
            out.disconnectFromHost();
            return false;
        } else {
            out.write("+OK\r\n" + stuffed(mail.bytes) + ".\r\n");
        }
    } else if (verb == "DELE" && known && !session.marked.contains(number)) {
        session.marked.insert(number);
        out.write("+OK marked\r\n");
    } else if (verb == "RSET") {
        session.marked.clear();
        out.write("+OK\r\n");
    } else if (verb == "QUIT") {
        QList<int> removing;
        for (const int marked : session.marked) {
            removing.append(session.maildrop[marked - 1].id);
        }
        if (onQuit) {
            onQuit(removing);
        }
        mails_.removeIf([&removing](const Mail& mail) { return removing.contains(mail.id); });
        out.write("+OK bye\r\n");
        out.disconnectFromHost();
        return false;
    } else {
        out.write("-ERR unknown command\r\n");
    }
    return true;
}

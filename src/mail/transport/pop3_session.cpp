#include "transport/pop3_session.h"

#include <QCryptographicHash>
#include <QFile>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QSslSocket>

#include <algorithm>
#include <climits>

#include "cp932.h"
#include "transport/certificate_pins.h"
#include "transport/login_refusal.h"
#include "transport/socket_wait.h"
#include "transport/transport_results.h"

namespace {

// No real reply or mail line comes near this; a server that sends one longer is hostile
// or broken, and reading on would only fill memory.
constexpr qsizetype kMaxLineBytes = 1 << 20;
constexpr qint64 kSocketBufferBytes = 1 << 20;

// Marks a session busy for the length of one call.
class BusyScope {
  public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool& busy_;
};

QString replyText(const QByteArray& reply) {
    return decodeCp932(reply).trimmed();
}

// The numbers of "+OK 3 1204": {3, 1204}.
QList<qint64> replyNumbers(const QByteArray& reply) {
    QList<qint64> numbers;
    const QList<QByteArray> words = reply.simplified().split(' ');
    for (qsizetype i = 1; i < words.size(); ++i) {
        bool ok = false;
        const qint64 value = words[i].toLongLong(&ok);
        if (!ok) {
            break;
        }
        numbers.append(value);
    }
    return numbers;
}

CertificateFault faultOf(const QSslError& error) {
    switch (error.error()) {
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
            return CertificateFault::SelfSigned;
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted:
            return CertificateFault::UnknownIssuer;
        case QSslError::CertificateExpired:
            return CertificateFault::Expired;
        case QSslError::CertificateNotYetValid:
            return CertificateFault::NotYetValid;
        case QSslError::HostNameMismatch:
            return CertificateFault::WrongName;
        default:
            return CertificateFault::Unverifiable;
    }
}

// Whether a CAPA listing names `capability` (its first word on a line of its own).
bool offers(const QByteArray& listed, const QByteArray& capability) {
    for (const QByteArray& line : listed.split('\n')) {
        if (line.simplified().split(' ').value(0).compare(capability, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

Pop3Session::Pop3Session(const MailHost& host, const NetworkOptions& options)
    : host_(host), options_(options) {}

Pop3Session::~Pop3Session() = default;

int Pop3Session::open() {
    const BusyScope scope(busy_);
    if (const int result = connectSocket(); result < 0) {
        return result;
    }
    QByteArray greeting;
    if (const int read = readLine(greeting); read < 0) {
        return read;
    }
    if (!greeting.startsWith("+OK")) {
        connected_ = false;
        error_ = QStringLiteral(
                     "%1 はPOP3サーバーとして応答しませんでした。サーバーの設定画面で"
                     "POP3サーバーの名前とポート番号を確かめてください。\n(サーバーの応答: %2)")
                     .arg(host_.authority(), replyText(greeting));
        return TransportResult::NetworkFailure;
    }
    static const QRegularExpression challenge(QStringLiteral("<[^<>]+>"));
    apopChallenge_ = challenge.match(QString::fromLatin1(greeting)).captured().toLatin1();
    return host_.tls ? 0 : upgradeWhereOffered();
}

int Pop3Session::connectSocket() {
    socket_ = std::make_unique<QSslSocket>();
    if (!options_.pinFile.isEmpty()) {
        pinnedSha256_ = pinnedCertificate(options_.pinFile, host_.authority());
    }
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!options_.extraCaFile.isEmpty()) {
        tls.addCaCertificates(QFile::decodeName(options_.extraCaFile));
    }
    socket_->setSslConfiguration(tls);
    socket_->setProxy(QNetworkProxy::NoProxy);
    // What arrives while nobody reads (a message box is open, a mail fetched ahead
    // streams) stays in the kernel once this much waits: a server sending without end
    // cannot fill memory.
    socket_->setReadBufferSize(kSocketBufferBytes);
    // Decided while the handshake waits for it: the pinned certificate is accepted
    // whatever its authority, dates or name; any other pin-less failure is kept.
    QObject::connect(socket_.get(), &QSslSocket::sslErrors, socket_.get(),
                     [this](const QList<QSslError>& errors) {
                         seenSha256_ =
                             socket_->peerCertificate().digest(QCryptographicHash::Sha256);
                         if (!pinnedSha256_.isEmpty() && seenSha256_ == pinnedSha256_) {
                             socket_->ignoreSslErrors();
                             return;
                         }
                         refusal_ = faultOf(errors.value(0));
                         refusalDetail_ = errors.value(0).errorString();
                     });
    const QDeadlineTimer deadline(options_.timeoutMs);
    if (host_.tls) {
        socket_->connectToHostEncrypted(host_.host, static_cast<quint16>(host_.port));
        if (!waitForHandshake(deadline)) {
            return failTls(false);
        }
    } else {
        socket_->connectToHost(host_.host, static_cast<quint16>(host_.port));
        QSslSocket& socket = *socket_;
        const bool settled = waitOnSocket(
            socket,
            [&socket] {
                return socket.state() == QAbstractSocket::ConnectedState ||
                       socket.state() == QAbstractSocket::UnconnectedState;
            },
            deadline);
        if (socket.state() != QAbstractSocket::ConnectedState) {
            error_ = QStringLiteral(
                         "POP3サーバー %1 に接続できませんでした。"
                         "サーバー名とネットワークの接続を確かめてください。\n(%2)")
                         .arg(host_.authority(),
                              settled ? socket.errorString()
                                      : QStringLiteral("%1 秒以内に接続できませんでした")
                                            .arg(options_.timeoutMs / 1000.0));
            return TransportResult::NetworkFailure;
        }
    }
    connected_ = true;
    return 0;
}

int Pop3Session::upgradeWhereOffered() {
    QByteArray listed;
    int result = capabilities(listed);
    if (result < 0) {
        return result;
    }
    pipelining_ = offers(listed, "PIPELINING");
    if (!offers(listed, "STLS")) {
        return 0;
    }
    QByteArray reply;
    if ((result = command("STLS", QStringLiteral("STLS"), reply)) < 0) {
        return result == TransportResult::Refused ? failTls(true) : result;
    }
    // What came in clear after "+OK" may be anyone's: only TLS speaks from here on.
    received_.clear();
    readPos_ = 0;
    socket_->readAll();
    socket_->startClientEncryption();
    if (!waitForHandshake(QDeadlineTimer(options_.timeoutMs))) {
        return failTls(true);
    }
    // What was offered in clear may be anyone's: pipelining only when TLS offers it too.
    if (pipelining_) {
        if ((result = capabilities(listed)) < 0) {
            return result;
        }
        pipelining_ = offers(listed, "PIPELINING");
    }
    return 0;
}

int Pop3Session::capabilities(QByteArray& listed) {
    listed.clear();
    QByteArray reply;
    const int result = command("CAPA", QStringLiteral("CAPA"), reply);
    if (result == TransportResult::Refused) {
        // A server without CAPA offers nothing beyond the basic commands.
        error_.clear();
        return 0;
    }
    return result < 0 ? result : readMultiLine(kMaxLineBytes, listed);
}

bool Pop3Session::waitForHandshake(const QDeadlineTimer& deadline) {
    QSslSocket& socket = *socket_;
    waitOnSocket(
        socket,
        [&socket] {
            return socket.isEncrypted() || socket.state() == QAbstractSocket::UnconnectedState;
        },
        deadline);
    if (!socket.isEncrypted()) {
        return false;
    }
    // A pin also refuses a certificate that verifies: it is not the one the user chose.
    seenSha256_ = socket.peerCertificate().digest(QCryptographicHash::Sha256);
    return pinnedSha256_.isEmpty() || seenSha256_ == pinnedSha256_;
}

int Pop3Session::failTls(bool upgrade) {
    connected_ = false;
    const QString detail = socket_->error() == QAbstractSocket::UnknownSocketError
                               ? QStringLiteral("%1 秒以内に暗号化を始められませんでした")
                                     .arg(options_.timeoutMs / 1000.0)
                               : socket_->errorString();
    const bool pinRefused =
        !pinnedSha256_.isEmpty() && !seenSha256_.isEmpty() && seenSha256_ != pinnedSha256_;
    socket_->abort();
    if (!seenSha256_.isEmpty() && (pinRefused || refusal_)) {
        CertificateProblem problem;
        problem.service = QStringLiteral("POP3");
        problem.host = host_.host;
        problem.authority = host_.authority();
        problem.sha256 = seenSha256_;
        problem.fault = pinRefused ? CertificateFault::Changed : *refusal_;
        problem.pinnedSha256 = pinRefused ? pinnedSha256_ : QByteArray();
        problem.detail = pinRefused ? QString() : refusalDetail_;
        error_ = describeCertificateProblem(problem);
        certificate_ = problem;
        return TransportResult::UntrustedCertificate;
    }
    error_ = upgrade ? QStringLiteral(
                           "POP3サーバー %1 は暗号化 (STLS) を申し出ましたが、暗号化を"
                           "始められませんでした。パスワードを守るため、ログインせずに"
                           "やめました。しばらくしてから、もう一度受信してください。\n(%2)")
                           .arg(host_.authority(), detail)
                     : QStringLiteral(
                           "POP3サーバー %1 と暗号化して接続できませんでした。"
                           "サーバーの設定画面でサーバー名とポート番号を"
                           "確かめてください。\n(%2)")
                           .arg(host_.authority(), detail);
    return TransportResult::NetworkFailure;
}

int Pop3Session::login(const QString& id, const QString& password, bool apop) {
    const BusyScope scope(busy_);
    QByteArray reply;
    int result = 0;
    if (apop) {
        if (apopChallenge_.isEmpty()) {
            error_ = QStringLiteral(
                         "POP3サーバー %1 はAPOPに対応していません。サーバーの設定画面で"
                         "「APOP を使用する」を外してください。")
                         .arg(host_.authority());
            return TransportResult::ApopNotOffered;
        }
        // Account texts cross in code page 932, as every other text of the suite does.
        const QByteArray digest = QCryptographicHash::hash(apopChallenge_ + encodeCp932(password),
                                                           QCryptographicHash::Md5)
                                      .toHex();
        result = command("APOP " + encodeCp932(id) + ' ' + digest, QStringLiteral("APOP"), reply);
    } else {
        result = command("USER " + encodeCp932(id), QStringLiteral("USER"), reply);
        if (result == 0) {
            result = command("PASS " + encodeCp932(password), QStringLiteral("PASS"), reply);
        }
    }
    if (result == TransportResult::Refused) {
        error_ = loginRefusedText(reply) +
                 QStringLiteral("\n(サーバーの応答: %1)").arg(replyText(reply));
        return result;
    }
    if (result < 0) {
        return result;
    }
    if ((result = command("STAT", QStringLiteral("STAT"), reply)) < 0) {
        return result;
    }
    return static_cast<int>(replyNumbers(reply).value(0, 0));
}

int Pop3Session::mailSize(int mailNo) {
    const BusyScope scope(busy_);
    if (!sizes_) {
        std::map<int, QByteArray> sizes;
        if (const int result = listing("LIST", sizes); result < 0) {
            return result;
        }
        sizes_ = std::move(sizes);
    }
    const auto found = sizes_->find(mailNo);
    if (found == sizes_->end()) {
        error_ = QStringLiteral(
                     "POP3サーバーに %1 番目のメールがありません。ほかのメールソフトが同時に"
                     "受信していないか確かめて、もう一度受信してください。")
                     .arg(mailNo);
        return TransportResult::Refused;
    }
    return static_cast<int>(qMin<qint64>(found->second.toLongLong(), INT_MAX));
}

int Pop3Session::uniqueId(int mailNo, QByteArray& id) {
    const BusyScope scope(busy_);
    if (!uniqueIds_) {
        std::map<int, QByteArray> ids;
        if (const int result = listing("UIDL", ids); result < 0) {
            return result;
        }
        uniqueIds_ = std::move(ids);
    }
    const auto found = uniqueIds_->find(mailNo);
    id = found == uniqueIds_->end() ? QByteArray() : found->second;
    return 0;
}

int Pop3Session::fetch(int mailNo, qsizetype maxBytes, QByteArray& mail) {
    const BusyScope scope(busy_);
    mail.clear();
    QByteArray reply;
    const bool askedAhead =
        std::any_of(pending_.begin(), pending_.end(),
                    [mailNo](const Pending& p) { return p.retrieve && p.mailNo == mailNo; });
    if (!askedAhead) {
        const int result =
            command("RETR " + QByteArray::number(mailNo), QStringLiteral("RETR"), reply);
        return result < 0 ? result : readMultiLine(maxBytes, mail);
    }
    if (const int collected = collectPending(mailNo); collected < 0) {
        return collected;
    }
    pending_.pop_front();
    if (const int read = readLine(reply); read < 0) {
        return read;
    }
    const int status = replyStatus(reply, QStringLiteral("RETR"));
    return status < 0 ? status : readMultiLine(maxBytes, mail);
}

std::optional<int> Pop3Session::listedSize(int mailNo) const {
    if (!sizes_) {
        return std::nullopt;
    }
    const auto found = sizes_->find(mailNo);
    if (found == sizes_->end()) {
        return std::nullopt;
    }
    return static_cast<int>(qMin<qint64>(found->second.toLongLong(), INT_MAX));
}

void Pop3Session::fetchAhead(int mailNo, qsizetype maxBytes) {
    // One mail ahead is enough to keep the server sending; more would only hold memory.
    if (!pipelining_ || !connected_ ||
        std::any_of(pending_.begin(), pending_.end(),
                    [](const Pending& p) { return p.retrieve; })) {
        return;
    }
    // A failed send ends the session; the next call reports it.
    if (sendAll("RETR " + QByteArray::number(mailNo) + "\r\n") == 0) {
        pending_.push_back({true, mailNo, maxBytes});
    }
}

int Pop3Session::listing(const QByteArray& name, std::map<int, QByteArray>& entries) {
    QByteArray reply;
    const int result = command(name, QString::fromLatin1(name), reply);
    if (result == TransportResult::Refused) {
        error_.clear();
        return 0;
    }
    if (result < 0) {
        return result;
    }
    QByteArray text;
    if (const int read = readMultiLine(kMaxLineBytes * 64, text); read < 0) {
        return read;
    }
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        bool ok = false;
        const int number = words.value(0).toInt(&ok);
        if (ok && words.size() >= 2) {
            entries.emplace(number, words[1]);
        }
    }
    return 0;
}

int Pop3Session::markDeleted(int mailNo) {
    const BusyScope scope(busy_);
    const QByteArray line = "DELE " + QByteArray::number(mailNo);
    QByteArray reply;
    if (!pipelining_ || !connected_) {
        return command(line, QStringLiteral("DELE"), reply);
    }
    if (const int sent = sendAll(line + "\r\n"); sent < 0) {
        return sent;
    }
    pending_.push_back({false, mailNo, 0});
    return 0;
}

int Pop3Session::quit() {
    const BusyScope scope(busy_);
    QByteArray reply;
    int result = connected_ ? collectPending(std::nullopt) : 0;
    if (result == 0) {
        result = command("QUIT", QStringLiteral("QUIT"), reply);
    }
    connected_ = false;
    pending_.clear();
    if (result == 0 && !refusedDeletes_.isEmpty()) {
        error_ = QStringLiteral(
                     "POP3サーバーが一部のメールの削除を受け付けませんでした。"
                     "そのメールはサーバーに残っています。\n(サーバーの応答: %1)")
                     .arg(refusedDeletes_.join(QStringLiteral("、")));
        return TransportResult::Refused;
    }
    return result;
}

int Pop3Session::command(const QByteArray& line, const QString& shownCommand, QByteArray& reply) {
    if (!connected_) {
        if (error_.isEmpty()) {
            error_ = QStringLiteral("POP3サーバーに接続していません。もう一度受信してください。");
        }
        return TransportResult::NetworkFailure;
    }
    if (const int sent = sendAll(line + "\r\n"); sent < 0) {
        return sent;
    }
    // Replies to what was sent ahead come before this one.
    if (const int collected = collectPending(std::nullopt); collected < 0) {
        return collected;
    }
    if (const int read = readLine(reply); read < 0) {
        return read;
    }
    return replyStatus(reply, shownCommand);
}

int Pop3Session::replyStatus(const QByteArray& reply, const QString& shownCommand) {
    if (reply.startsWith("+OK")) {
        return 0;
    }
    if (reply.startsWith("-ERR")) {
        error_ = QStringLiteral(
                     "POP3サーバーが %1 を受け付けませんでした。しばらくしてから、"
                     "もう一度受信してください。\n(サーバーの応答: %2)")
                     .arg(shownCommand, replyText(reply));
        return TransportResult::Refused;
    }
    connected_ = false;
    pending_.clear();
    error_ = QStringLiteral(
                 "POP3サーバーから正しくない応答が届いたため、受信をやめました。しばらくして"
                 "から、もう一度受信してください。\n(%1 への応答: %2)")
                 .arg(shownCommand, replyText(reply));
    return TransportResult::NetworkFailure;
}

int Pop3Session::collectPending(std::optional<int> untilMail) {
    while (!pending_.empty()) {
        const Pending next = pending_.front();
        if (next.retrieve && next.mailNo == untilMail) {
            return 0;
        }
        pending_.pop_front();
        QByteArray reply;
        if (const int read = readLine(reply); read < 0) {
            return read;
        }
        const int status =
            replyStatus(reply, next.retrieve ? QStringLiteral("RETR") : QStringLiteral("DELE"));
        if (status == TransportResult::Refused) {
            // A refused DELE leaves its mail on the server, which is safe; it is told at QUIT.
            // A refused RETR nobody asked for anymore matters to no one.
            if (!next.retrieve) {
                refusedDeletes_.append(
                    QStringLiteral("%1 番目のメール: %2").arg(next.mailNo).arg(replyText(reply)));
            }
            error_.clear();
            continue;
        }
        if (status < 0) {
            return status;
        }
        // A mail asked for ahead that the caller did not want after all.
        QByteArray unused;
        if (next.retrieve) {
            if (const int read = readMultiLine(next.maxBytes, unused); read < 0) {
                return read;
            }
        }
    }
    return 0;
}

int Pop3Session::sendAll(const QByteArray& bytes) {
    // Flushed at once: a command sent ahead must reach the server before the next wait.
    if (socket_->write(bytes) != bytes.size()) {
        return failNetwork(socket_->errorString());
    }
    socket_->flush();
    return 0;
}

int Pop3Session::readLine(QByteArray& line) {
    qsizetype searched = readPos_;
    while (true) {
        const qsizetype end = received_.indexOf('\n', searched);
        if (end < 0 && received_.size() - readPos_ > kMaxLineBytes) {
            return failNetwork(QStringLiteral("サーバーが 1 MB を超える一行を送ってきました"));
        }
        if (end >= 0) {
            line = received_.mid(readPos_, end - readPos_);
            if (line.endsWith('\r')) {
                line.chop(1);
            }
            readPos_ = end + 1;
            return 0;
        }
        // Only the new bytes are searched next time: a long line costs linear time.
        searched = received_.size() - readPos_;
        if (const int more = receiveMore(); more < 0) {
            return more;
        }
        searched += readPos_;
    }
}

int Pop3Session::receiveMore() {
    if (readPos_ > 0) {
        received_.remove(0, readPos_);
        readPos_ = 0;
    }
    QSslSocket& socket = *socket_;
    const bool arrived = waitOnSocket(
        socket,
        [&socket] {
            return socket.bytesAvailable() > 0 || socket.state() != QAbstractSocket::ConnectedState;
        },
        QDeadlineTimer(options_.timeoutMs));
    if (socket.bytesAvailable() > 0) {
        received_ += socket.readAll();
        return 0;
    }
    if (!arrived) {
        return failNetwork(
            QStringLiteral("%1 秒以内に応答がありませんでした").arg(options_.timeoutMs / 1000.0));
    }
    return failNetwork(socket.error() == QAbstractSocket::RemoteHostClosedError ||
                               socket.error() == QAbstractSocket::UnknownSocketError
                           ? QStringLiteral("サーバーが接続を切りました")
                           : socket.errorString());
}

int Pop3Session::readMultiLine(qsizetype maxBytes, QByteArray& text) {
    text.clear();
    QByteArray line;
    while (true) {
        if (const int read = readLine(line); read < 0) {
            return read;
        }
        if (line == ".") {
            return 0;
        }
        if (line.startsWith('.')) {
            line.remove(0, 1);
        }
        text += line;
        text += "\r\n";
        if (text.size() > maxBytes) {
            text.clear();
            return failNetwork(
                QStringLiteral("メールが %1 バイトの上限を超えたため受信を打ち切りました")
                    .arg(maxBytes));
        }
    }
}

int Pop3Session::failNetwork(const QString& detail) {
    connected_ = false;
    pending_.clear();
    error_ = QStringLiteral(
                 "POP3サーバー %1 との通信に失敗しました。"
                 "ネットワークの接続を確かめてから、もう一度受信してください。\n(%2)")
                 .arg(host_.authority(), detail);
    return TransportResult::NetworkFailure;
}

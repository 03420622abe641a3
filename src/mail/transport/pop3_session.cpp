#include "transport/pop3_session.h"

#include <QCryptographicHash>
#include <QFile>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSet>
#include <QSslConfiguration>
#include <QSslSocket>

#include <algorithm>

#include "cp932.h"
#include "transport/certificate_pins.h"
#include "transport/server_security.h"
#include "transport/socket_wait.h"

namespace {

using What = MailFailure::What;
using Todo = MailFailure::Todo;

// No real reply or mail line comes near this; a server that sends one longer is hostile
// or broken, and reading on would only fill memory.
constexpr qsizetype kMaxLineBytes = 1 << 20;
constexpr qint64 kSocketBufferBytes = 1 << 20;
// More mails than any mailbox holds: a count beyond it is a hostile or broken server.
constexpr qint64 kMaxMailboxMails = 1000000;

// The most a mail may grow beyond the size the server listed for it: line ends and
// dot-stuffing change it a little, a server that sends far more is hostile.
qint64 fetchLimit(qint64 listedSize) {
    if (listedSize < 0) {
        return Pop3Session::kMaxMailBytes;
    }
    return std::min(Pop3Session::kMaxMailBytes, listedSize * 2 + (qint64(1) << 20));
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

// The response code of a refused login (RFC 2449, 3206) tells a locked mailbox, a login
// too soon and a server in trouble from a wrong password; each needs other action.
std::pair<What, Todo> loginRefusal(const QByteArray& reply) {
    const QByteArray upper = reply.toUpper();
    if (upper.contains("[IN-USE]")) {
        return {What::MailboxInUse, Todo::WaitForOtherClient};
    }
    if (upper.contains("[LOGIN-DELAY]")) {
        return {What::LoginTooSoon, Todo::RetryLater};
    }
    if (upper.contains("[SYS/TEMP]")) {
        return {What::ServerBusy, Todo::RetryLater};
    }
    if (upper.contains("[SYS/PERM]")) {
        return {What::ServerFault, Todo::AskProvider};
    }
    return {What::LoginRefused, Todo::CheckAccount};
}

// "RETR" of "RETR 4".
QByteArray commandName(const QByteArray& line) {
    const qsizetype space = line.indexOf(' ');
    return space < 0 ? line : line.first(space);
}

// A unique id as RFC 1939 allows it: 1 to 70 printable characters.
bool usableUid(const QByteArray& uid) {
    return !uid.isEmpty() && uid.size() <= 70 &&
           std::all_of(uid.begin(), uid.end(), [](char c) { return c > 0x20 && c < 0x7f; });
}

// The numbered lines of a listing: {number, second word}, numbers from 1 to `count`.
QList<std::pair<int, QByteArray>> numberedLines(const QByteArray& text, qint64 count) {
    QList<std::pair<int, QByteArray>> lines;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        bool ok = false;
        const qint64 number = words.value(0).toLongLong(&ok);
        if (ok && words.size() >= 2 && number >= 1 && number <= count) {
            lines.append({static_cast<int>(number), words[1]});
        }
    }
    return lines;
}

}  // namespace

Pop3Session::Pop3Session(const MailHost& host, const NetworkOptions& options)
    : host_(host), options_(options) {}

Pop3Session::~Pop3Session() = default;

MailFailure Pop3Session::failure(What what, Todo todo) const {
    MailFailure failure{what, todo};
    failure.server = host_.authority();
    failure.seconds = options_.timeoutMs / 1000.0;
    return failure;
}

MailFailure Pop3Session::lose(What what) {
    alive_ = false;
    plan_.clear();
    pending_.clear();
    if (socket_) {
        socket_->abort();
    }
    return failure(
        what, what == What::NoReply || what == What::ConnectionClosed || what == What::SocketError
                  ? Todo::CheckNetwork
                  : Todo::RetryLater);
}

std::optional<MailFailure> Pop3Session::open() {
    if (auto failed = connectSocket()) {
        return failed;
    }
    QByteArray greeting;
    if (auto failed = readLine(greeting)) {
        return failed;
    }
    if (!greeting.startsWith("+OK")) {
        MailFailure failed = lose(What::NotPop3);
        failed.todo = Todo::CheckServerName;
        failed.reply = greeting;
        return failed;
    }
    static const QRegularExpression challenge(QStringLiteral("<[^<>]+>"));
    apopChallenge_ = challenge.match(QString::fromLatin1(greeting)).captured().toLatin1();
    if (host_.tls) {
        noteTls();
        bool stls = false;
        return capabilities(pipelining_, stls);
    }
    return upgradeWhereOffered();
}

void Pop3Session::noteTls() {
    QString error;
    if (!isLoopbackHost(host_.host) &&
        !rememberTls(options_.securityFile, QStringLiteral("POP3"), host_.authority(), error)) {
        MailFailure note = failure(What::SecurityNotKept, Todo::CheckDisk);
        note.path = options_.securityFile;
        note.detail = error;
        securityNote_ = note;
    }
}

std::optional<MailFailure> Pop3Session::guardClearLogin() {
    // On this computer nothing lies between: the account goes as before.
    if (isLoopbackHost(host_.host)) {
        return std::nullopt;
    }
    switch (knownSecurity(options_.securityFile, QStringLiteral("POP3"), host_.authority())) {
        case ServerSecurity::ClearAgreed:
            return std::nullopt;
        case ServerSecurity::OffersTls: {
            // Only an offer that was seen can be missed: whoever took it out of the answer
            // would read the password.
            MailFailure withdrawn = lose(What::TlsWithdrawn);
            withdrawn.todo = Todo::UseSafeNetwork;
            return withdrawn;
        }
        case ServerSecurity::Unknown:
            break;
    }
    MailFailure notAgreed = lose(What::ClearLoginNotAgreed);
    notAgreed.todo = Todo::Nothing;
    return notAgreed;
}

std::optional<MailFailure> Pop3Session::connectSocket() {
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
    // What arrives while nobody reads (a box is open, mails fetched ahead stream) stays in
    // the kernel once this much waits: a server sending without end cannot fill memory.
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
            return tlsFailure(false);
        }
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        alive_ = true;
        return std::nullopt;
    }
    socket_->connectToHost(host_.host, static_cast<quint16>(host_.port));
    QSslSocket& socket = *socket_;
    const SocketWait waited = waitOnSocket(
        socket,
        [&socket] {
            return socket.state() == QAbstractSocket::ConnectedState ||
                   socket.state() == QAbstractSocket::UnconnectedState;
        },
        deadline);
    if (socket.state() != QAbstractSocket::ConnectedState) {
        const QString reason = socket.errorString();
        MailFailure failed =
            lose(waited == SocketWait::TimedOut ? What::ConnectTimedOut : What::Unreachable);
        failed.todo = Todo::CheckServerAndNetwork;
        failed.detail = reason;
        return failed;
    }
    // Commands are gathered into few writes here, so none should wait for an ACK.
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    alive_ = true;
    return std::nullopt;
}

std::optional<MailFailure> Pop3Session::upgradeWhereOffered() {
    bool stls = false;
    if (auto failed = capabilities(pipelining_, stls)) {
        return failed;
    }
    if (!stls) {
        return guardClearLogin();
    }
    noteTls();
    QByteArray reply;
    bool ok = false;
    if (auto failed = command("STLS", reply, ok)) {
        return failed;
    }
    if (!ok) {
        MailFailure failed = tlsFailure(true);
        failed.reply = reply;
        return failed;
    }
    // What came in clear after "+OK" may be anyone's: only TLS speaks from here on.
    received_.clear();
    readPos_ = 0;
    socket_->readAll();
    socket_->startClientEncryption();
    if (!waitForHandshake(QDeadlineTimer(options_.timeoutMs))) {
        return tlsFailure(true);
    }
    // What was offered in clear may be anyone's: pipelining only when TLS offers it too.
    if (pipelining_) {
        return capabilities(pipelining_, stls);
    }
    return std::nullopt;
}

std::optional<MailFailure> Pop3Session::capabilities(bool& pipelining, bool& stls) {
    pipelining = false;
    stls = false;
    QByteArray reply;
    bool ok = false;
    if (auto failed = command("CAPA", reply, ok)) {
        return failed;
    }
    // A server without CAPA offers nothing beyond the basic commands.
    if (!ok) {
        return std::nullopt;
    }
    QByteArray listed;
    if (auto failed = readMultiLine(kMaxLineBytes, 0, &listed)) {
        return failed;
    }
    pipelining = offers(listed, "PIPELINING");
    stls = offers(listed, "STLS");
    return std::nullopt;
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

MailFailure Pop3Session::tlsFailure(bool upgrade) {
    const bool timedOut = socket_->error() == QAbstractSocket::UnknownSocketError;
    const QString detail = socket_->errorString();
    const bool pinRefused =
        !pinnedSha256_.isEmpty() && !seenSha256_.isEmpty() && seenSha256_ != pinnedSha256_;
    MailFailure failed = lose(upgrade ? What::StlsFailed : What::TlsFailed);
    failed.todo = upgrade ? Todo::RetryLater : Todo::CheckServerName;
    if (!timedOut) {
        failed.detail = detail;
    }
    if (!seenSha256_.isEmpty() && (pinRefused || refusal_)) {
        CertificateProblem problem;
        problem.service = QStringLiteral("POP3");
        problem.host = host_.host;
        problem.authority = host_.authority();
        problem.sha256 = seenSha256_;
        problem.fault = pinRefused ? CertificateFault::Changed : *refusal_;
        problem.pinnedSha256 = pinRefused ? pinnedSha256_ : QByteArray();
        problem.detail = pinRefused ? QString() : refusalDetail_;
        failed.what = What::UntrustedCertificate;
        failed.todo = Todo::Nothing;
        failed.certificate = problem;
    }
    return failed;
}

std::optional<MailFailure> Pop3Session::login(const QString& id, const QString& password, bool apop,
                                              QList<ListedMail>& mailbox) {
    mailbox.clear();
    if (!alive_) {
        return failure(What::ConnectionClosed, Todo::CheckNetwork);
    }
    QList<QByteArray> commands;
    if (apop) {
        if (apopChallenge_.isEmpty()) {
            return failure(What::ApopNotOffered, Todo::TurnOffApop);
        }
        // Account texts cross in code page 932, as every other text of the suite does.
        const QByteArray digest = QCryptographicHash::hash(apopChallenge_ + encodeCp932(password),
                                                           QCryptographicHash::Md5)
                                      .toHex();
        commands = {"APOP " + encodeCp932(id) + ' ' + digest};
    } else {
        commands = {"USER " + encodeCp932(id), "PASS " + encodeCp932(password)};
    }
    // With pipelining the whole login and listing is one round trip; a server that
    // refuses the login answers the listing with -ERR, which is read past.
    const QList<QByteArray> all = commands + QList<QByteArray>{"STAT", "LIST", "UIDL"};
    if (pipelining_) {
        if (auto failed = sendLines(all.join("\r\n") + "\r\n")) {
            return failed;
        }
    }
    std::optional<QByteArray> refused;
    QList<QByteArray> replies;
    QList<bool> oks;
    QByteArray listText;
    QByteArray uidlText;
    for (const QByteArray& line : all) {
        const QByteArray name = commandName(line);
        if (!pipelining_) {
            // One command at a time; after a refused login nothing more is asked.
            if (refused) {
                break;
            }
            if (auto failed = sendLines(line + "\r\n")) {
                return failed;
            }
        }
        QByteArray reply;
        bool ok = false;
        std::optional<MailFailure> failed = readStatus(name, reply, ok);
        if (ok && !failed && (name == "LIST" || name == "UIDL")) {
            failed = readMultiLine(kMaxLineBytes * 64, 0, name == "LIST" ? &listText : &uidlText);
        }
        if (failed) {
            // A server may hang up after a refused login: the refusal is what matters.
            if (refused) {
                break;
            }
            return failed;
        }
        replies.append(reply);
        oks.append(ok);
        if (!ok && !refused && replies.size() <= commands.size()) {
            refused = reply;
        }
    }
    if (refused) {
        const auto [what, todo] = loginRefusal(*refused);
        MailFailure failed = failure(what, todo);
        failed.reply = *refused;
        return failed;
    }
    const qsizetype stat = commands.size();
    return listMailbox(replies[stat], oks[stat + 1], listText, oks[stat + 2], uidlText, mailbox);
}

std::optional<MailFailure> Pop3Session::listMailbox(const QByteArray& stat, bool listOk,
                                                    const QByteArray& listText, bool uidlOk,
                                                    const QByteArray& uidlText,
                                                    QList<ListedMail>& mailbox) {
    if (!stat.startsWith("+OK")) {
        MailFailure failed = failure(What::CommandRefused, Todo::RetryLater);
        failed.command = QStringLiteral("STAT");
        failed.reply = stat;
        return failed;
    }
    bool ok = false;
    const qint64 count = stat.simplified().split(' ').value(1).toLongLong(&ok);
    if (!ok || count < 0 || count > kMaxMailboxMails) {
        MailFailure failed = failure(What::BadListing, Todo::RetryLater);
        failed.command = QStringLiteral("STAT");
        failed.reply = stat;
        return failed;
    }
    mailbox.reserve(count);
    for (int n = 1; n <= count; ++n) {
        mailbox.append({n, -1, {}});
    }
    if (listOk) {
        for (const auto& [number, size] : numberedLines(listText, count)) {
            bool sized = false;
            const qint64 bytes = size.toLongLong(&sized);
            if (sized && bytes >= 0) {
                mailbox[number - 1].size = bytes;
            }
        }
    }
    if (uidlOk) {
        QHash<QByteArray, int> seen;
        QSet<QByteArray> shared;
        for (const auto& [number, uid] : numberedLines(uidlText, count)) {
            if (!usableUid(uid)) {
                continue;
            }
            if (seen.contains(uid)) {
                shared.insert(uid);
            }
            seen.insert(uid, number);
            mailbox[number - 1].uid = uid;
        }
        // Two mails under one id would pass for one: they are told apart by content.
        for (ListedMail& mail : mailbox) {
            if (shared.contains(mail.uid)) {
                mail.uid.clear();
            }
        }
    }
    return std::nullopt;
}

void Pop3Session::planFetches(const QList<ListedMail>& mails) {
    plan_.clear();
    for (const ListedMail& mail : mails) {
        plan_.push_back({mail.number, mail.size});
    }
    if (alive_) {
        fillWindow();
    }
}

std::optional<MailFailure> Pop3Session::fillWindow() {
    if (!pipelining_) {
        return std::nullopt;
    }
    QByteArray lines;
    while (!plan_.empty() &&
           (aheadMails_ == 0 ||
            (aheadMails_ < kAheadMails &&
             aheadBytes_ + std::max<qint64>(plan_.front().listedSize, 0) <= kAheadBytes))) {
        const Planned next = plan_.front();
        plan_.pop_front();
        lines += "RETR " + QByteArray::number(next.mailNo) + "\r\n";
        pending_.push_back({Pending::Kind::Retrieve, next.mailNo, next.listedSize});
        ++aheadMails_;
        aheadBytes_ += std::max<qint64>(next.listedSize, 0);
    }
    return lines.isEmpty() ? std::nullopt : sendLines(lines);
}

std::optional<MailFailure> Pop3Session::fetch(int mailNo, QByteArray& mail) {
    mail.clear();
    if (!alive_) {
        return failure(What::ConnectionClosed, Todo::CheckNetwork);
    }
    const auto isThis = [mailNo](const auto& entry) { return entry.mailNo == mailNo; };
    qint64 listedSize = -1;
    if (const auto planned = std::find_if(plan_.begin(), plan_.end(), isThis);
        planned != plan_.end()) {
        listedSize = planned->listedSize;
        plan_.erase(plan_.begin(), planned + 1);
    }
    const bool inFlight = std::any_of(pending_.begin(), pending_.end(), [mailNo](const Pending& p) {
        return p.kind == Pending::Kind::Retrieve && p.mailNo == mailNo;
    });
    if (!inFlight) {
        if (auto failed = sendLines("RETR " + QByteArray::number(mailNo) + "\r\n")) {
            return failed;
        }
        pending_.push_back({Pending::Kind::Retrieve, mailNo, listedSize});
        if (pipelining_) {
            ++aheadMails_;
            aheadBytes_ += std::max<qint64>(listedSize, 0);
        }
    }
    while (
        !(pending_.front().kind == Pending::Kind::Retrieve && pending_.front().mailNo == mailNo)) {
        if (auto failed = collectOldest()) {
            return failed;
        }
    }
    listedSize = pending_.front().listedSize;
    pending_.pop_front();
    if (pipelining_) {
        --aheadMails_;
        aheadBytes_ -= std::max<qint64>(listedSize, 0);
        // The next mails are asked for before this one is read, so the server never idles.
        if (auto failed = fillWindow()) {
            return failed;
        }
    }
    QByteArray reply;
    bool ok = false;
    if (auto failed = readStatus("RETR", reply, ok)) {
        return failed;
    }
    if (!ok) {
        MailFailure failed = failure(What::MailRefused, Todo::RetryLater);
        failed.mailNo = mailNo;
        failed.reply = reply;
        return failed;
    }
    return readMultiLine(fetchLimit(listedSize), mailNo, &mail);
}

void Pop3Session::stopFetching() {
    plan_.clear();
}

std::optional<MailFailure> Pop3Session::markDeleted(int mailNo) {
    if (!alive_) {
        return failure(What::ConnectionClosed, Todo::CheckNetwork);
    }
    const QByteArray line = "DELE " + QByteArray::number(mailNo) + "\r\n";
    if (auto failed = sendLines(line)) {
        return failed;
    }
    pending_.push_back({Pending::Kind::Delete, mailNo, 0});
    // Without pipelining every command waits for its reply.
    return pipelining_ ? std::nullopt : collectOldest();
}

std::optional<MailFailure> Pop3Session::collectOldest() {
    const Pending oldest = pending_.front();
    pending_.pop_front();
    const bool retrieve = oldest.kind == Pending::Kind::Retrieve;
    if (retrieve && pipelining_) {
        --aheadMails_;
        aheadBytes_ -= std::max<qint64>(oldest.listedSize, 0);
    }
    QByteArray reply;
    bool ok = false;
    if (auto failed = readStatus(retrieve ? "RETR" : "DELE", reply, ok)) {
        return failed;
    }
    if (retrieve) {
        // A mail asked for ahead that the caller did not want after all.
        return ok ? readMultiLine(fetchLimit(oldest.listedSize), oldest.mailNo, nullptr)
                  : std::nullopt;
    }
    if (!ok) {
        MailFailure refused = failure(What::DeleteRefused, Todo::Nothing);
        refused.mailNo = oldest.mailNo;
        refused.reply = reply;
        refusedDeletes_.append(refused);
    }
    return std::nullopt;
}

std::optional<MailFailure> Pop3Session::quit(QList<MailFailure>& refusedDeletes) {
    refusedDeletes.clear();
    if (!alive_) {
        return failure(What::QuitUnanswered, Todo::Nothing);
    }
    plan_.clear();
    // QUIT goes after what is in flight; the server answers it after all of that.
    std::optional<MailFailure> failed = sendLines("QUIT\r\n");
    while (!failed && !pending_.empty()) {
        failed = collectOldest();
    }
    QByteArray reply;
    bool ok = false;
    if (!failed) {
        failed = readStatus("QUIT", reply, ok);
    }
    refusedDeletes = refusedDeletes_;
    alive_ = false;
    if (socket_) {
        socket_->disconnectFromHost();
    }
    if (failed || !ok) {
        MailFailure unanswered = failed.value_or(failure(What::QuitUnanswered, Todo::Nothing));
        unanswered.what = What::QuitUnanswered;
        unanswered.todo = Todo::Nothing;
        if (!failed) {
            unanswered.reply = reply;
        }
        return unanswered;
    }
    return std::nullopt;
}

void Pop3Session::abort() {
    if (alive_) {
        lose(What::ConnectionClosed);
    }
}

std::optional<MailFailure> Pop3Session::command(const QByteArray& line, QByteArray& reply,
                                                bool& ok) {
    if (!alive_) {
        return failure(What::ConnectionClosed, Todo::CheckNetwork);
    }
    if (auto failed = sendLines(line + "\r\n")) {
        return failed;
    }
    return readStatus(commandName(line), reply, ok);
}

std::optional<MailFailure> Pop3Session::readStatus(const QByteArray& shownCommand,
                                                   QByteArray& reply, bool& ok) {
    if (auto failed = readLine(reply)) {
        return failed;
    }
    if (reply.startsWith("+OK")) {
        ok = true;
        return std::nullopt;
    }
    if (reply.startsWith("-ERR")) {
        ok = false;
        return std::nullopt;
    }
    MailFailure failed = lose(What::GarbageReply);
    failed.command = QString::fromLatin1(shownCommand);
    failed.reply = reply;
    return failed;
}

std::optional<MailFailure> Pop3Session::sendLines(const QByteArray& lines) {
    // Buffered: what is sent while a mail is stored goes out together, at the next wait.
    if (socket_->write(lines) != lines.size()) {
        const QString reason = socket_->errorString();
        MailFailure failed = lose(What::SocketError);
        failed.detail = reason;
        return failed;
    }
    return std::nullopt;
}

std::optional<MailFailure> Pop3Session::readLine(QByteArray& line) {
    qsizetype searched = 0;  // bytes past readPos_ known to hold no line end
    while (true) {
        const qsizetype end = received_.indexOf('\n', readPos_ + searched);
        if (end >= 0) {
            qsizetype length = end - readPos_;
            if (length > 0 && received_[end - 1] == '\r') {
                --length;
            }
            line = received_.mid(readPos_, length);
            readPos_ = end + 1;
            return std::nullopt;
        }
        searched = received_.size() - readPos_;
        if (searched > kMaxLineBytes) {
            return lose(What::LineTooLong);
        }
        if (auto failed = receiveMore()) {
            return failed;
        }
    }
}

std::optional<MailFailure> Pop3Session::readMultiLine(qint64 maxBytes, int mailNo,
                                                      QByteArray* text) {
    if (text) {
        text->clear();
    }
    qint64 total = 0;
    qsizetype searched = 0;
    while (true) {
        const qsizetype end = received_.indexOf('\n', readPos_ + searched);
        if (end < 0) {
            searched = received_.size() - readPos_;
            if (searched > kMaxLineBytes) {
                return lose(What::LineTooLong);
            }
            if (auto failed = receiveMore()) {
                return failed;
            }
            continue;
        }
        searched = 0;
        const char* line = received_.constData() + readPos_;
        const qsizetype length = end - readPos_;  // without the LF
        const bool cr = length > 0 && line[length - 1] == '\r';
        const qsizetype content = cr ? length - 1 : length;
        readPos_ = end + 1;
        if (content == 1 && line[0] == '.') {
            return std::nullopt;
        }
        const qsizetype stuffed = content > 0 && line[0] == '.' ? 1 : 0;
        total += content - stuffed + 2;
        if (total > maxBytes) {
            if (text) {
                text->clear();
            }
            MailFailure failed = lose(What::MailOverLimit);
            failed.mailNo = mailNo;
            failed.limit = maxBytes;
            return failed;
        }
        if (text) {
            if (cr) {
                text->append(line + stuffed, length + 1 - stuffed);
            } else {
                text->append(line + stuffed, content - stuffed);
                text->append("\r\n", 2);
            }
        }
    }
}

std::optional<MailFailure> Pop3Session::receiveMore() {
    // What was read is dropped once it is the larger part, so a long mail costs linear time.
    if (readPos_ > 0 && readPos_ * 2 >= received_.size()) {
        received_.remove(0, readPos_);
        readPos_ = 0;
    }
    QSslSocket& socket = *socket_;
    // Commands sent ahead must reach the server before anything is waited for.
    socket.flush();
    const SocketWait waited = waitOnSocket(
        socket,
        [&socket] {
            return socket.bytesAvailable() > 0 || socket.state() != QAbstractSocket::ConnectedState;
        },
        QDeadlineTimer(options_.timeoutMs));
    if (const qint64 available = socket.bytesAvailable(); available > 0) {
        const qsizetype had = received_.size();
        received_.resize(had + available);
        const qint64 got = socket.read(received_.data() + had, available);
        received_.resize(had + std::max<qint64>(got, 0));
        return std::nullopt;
    }
    if (waited == SocketWait::TimedOut) {
        return lose(What::NoReply);
    }
    const bool closed = socket.error() == QAbstractSocket::RemoteHostClosedError ||
                        socket.error() == QAbstractSocket::UnknownSocketError ||
                        waited == SocketWait::Cancelled;
    const QString reason = socket.errorString();
    MailFailure failed = lose(closed ? What::ConnectionClosed : What::SocketError);
    if (!closed) {
        failed.detail = reason;
    }
    return failed;
}

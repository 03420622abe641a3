#include "pop3_session.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <climits>

#include "cp932.h"
#include "transport_results.h"

namespace {

constexpr qsizetype kReceiveChunk = 65536;
// No real reply or mail line comes near this; a server that sends one longer is hostile
// or broken, and reading on would only fill memory.
constexpr qsizetype kMaxLineBytes = 1 << 20;

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

}  // namespace

Pop3Session::Pop3Session(const MailHost& host, const NetworkOptions& options)
    : host_(host), options_(options) {}

Pop3Session::~Pop3Session() {
    if (multi_ && easy_) {
        curl_multi_remove_handle(multi_.get(), easy_.get());
    }
}

int Pop3Session::open() {
    const BusyScope scope(busy_);
    multi_.reset(curl_multi_init());
    easy_.reset(curl_easy_init());
    if (!multi_ || !easy_) {
        return failNetwork(QStringLiteral("libcurl could not start"));
    }
    // libcurl's own POP3 handler would talk first; an http(s) URL with CONNECT_ONLY gives
    // the bare TCP or TLS connection.
    const QByteArray url = (host_.tls ? "https://" : "http://") + host_.authority().toUtf8() + '/';
    curl_easy_setopt(easy_.get(), CURLOPT_URL, url.constData());
    curl_easy_setopt(easy_.get(), CURLOPT_CONNECT_ONLY, 1L);
    curl_easy_setopt(easy_.get(), CURLOPT_SSL_ENABLE_ALPN, 0L);
    applyNetworkOptions(easy_.get(), options_, curlError_);
    curl_multi_add_handle(multi_.get(), easy_.get());
    const CURLcode connected =
        runTransfer(multi_.get(), easy_.get(), QDeadlineTimer(options_.timeoutMs));
    if (connected != CURLE_OK) {
        error_ = QStringLiteral("POP3サーバー %1 に接続できませんでした。\n(%2)")
                     .arg(host_.authority(),
                          QString::fromUtf8(curlError_[0] != '\0' ? curlError_
                                                                  : curl_easy_strerror(connected)));
        return TransportResult::NetworkFailure;
    }
    curl_easy_getinfo(easy_.get(), CURLINFO_ACTIVESOCKET, &socket_);
    connected_ = true;
    QByteArray greeting;
    if (const int read = readLine(greeting); read < 0) {
        return read;
    }
    if (!greeting.startsWith("+OK")) {
        connected_ = false;
        error_ = QStringLiteral("%1 はPOP3サーバーとして応答しませんでした。\n(サーバーの応答: %2)")
                     .arg(host_.authority(), replyText(greeting));
        return TransportResult::NetworkFailure;
    }
    static const QRegularExpression challenge(QStringLiteral("<[^<>]+>"));
    apopChallenge_ = challenge.match(QString::fromLatin1(greeting)).captured().toLatin1();
    return 0;
}

int Pop3Session::login(const QString& id, const QString& password, bool apop) {
    const BusyScope scope(busy_);
    QByteArray reply;
    int result = 0;
    if (apop) {
        if (apopChallenge_.isEmpty()) {
            error_ =
                QStringLiteral("POP3サーバー %1 はAPOPに対応していません。").arg(host_.authority());
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
        error_ = QStringLiteral(
                     "ログインできませんでした。ユーザーIDかパスワードが違います。\n"
                     "(サーバーの応答: %1)")
                     .arg(replyText(reply));
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
        error_ = QStringLiteral("POP3サーバーに %1 番目のメールがありません。").arg(mailNo);
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
    QByteArray reply;
    const int result = command("RETR " + QByteArray::number(mailNo), QStringLiteral("RETR"), reply);
    if (result < 0) {
        return result;
    }
    return readMultiLine(maxBytes, mail);
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
    QByteArray reply;
    return command("DELE " + QByteArray::number(mailNo), QStringLiteral("DELE"), reply);
}

int Pop3Session::quit() {
    const BusyScope scope(busy_);
    QByteArray reply;
    const int result = command("QUIT", QStringLiteral("QUIT"), reply);
    connected_ = false;
    return result;
}

int Pop3Session::command(const QByteArray& line, const QString& shownCommand, QByteArray& reply) {
    if (!connected_) {
        if (error_.isEmpty()) {
            error_ = QStringLiteral("POP3サーバーに接続していません。");
        }
        return TransportResult::NetworkFailure;
    }
    if (const int sent = sendAll(line + "\r\n"); sent < 0) {
        return sent;
    }
    if (const int read = readLine(reply); read < 0) {
        return read;
    }
    if (reply.startsWith("+OK")) {
        return 0;
    }
    if (reply.startsWith("-ERR")) {
        error_ = QStringLiteral("POP3サーバーが %1 を受け付けませんでした。\n(サーバーの応答: %2)")
                     .arg(shownCommand, replyText(reply));
        return TransportResult::Refused;
    }
    connected_ = false;
    error_ = QStringLiteral("POP3サーバーの %1 への応答が正しくありません。\n(サーバーの応答: %2)")
                 .arg(shownCommand, replyText(reply));
    return TransportResult::NetworkFailure;
}

int Pop3Session::sendAll(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        size_t sent = 0;
        const CURLcode result = curl_easy_send(easy_.get(), bytes.constData() + done,
                                               static_cast<size_t>(bytes.size() - done), &sent);
        if (result == CURLE_OK) {
            done += static_cast<qsizetype>(sent);
            continue;
        }
        if (result != CURLE_AGAIN) {
            return failNetwork(QString::fromUtf8(curl_easy_strerror(result)));
        }
        const SocketWait wait = waitForSocket(socket_, true, QDeadlineTimer(options_.timeoutMs));
        if (wait == SocketWait::TimedOut) {
            return failNetwork(
                QStringLiteral("%1 秒以内に送れませんでした").arg(options_.timeoutMs / 1000.0));
        }
        if (wait == SocketWait::Failed) {
            return failNetwork(QString::fromLocal8Bit(strerror(errno)));
        }
    }
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
    const QDeadlineTimer deadline(options_.timeoutMs);
    char buffer[kReceiveChunk];
    while (true) {
        size_t count = 0;
        const CURLcode result = curl_easy_recv(easy_.get(), buffer, sizeof buffer, &count);
        if (result == CURLE_OK) {
            if (count == 0) {
                return failNetwork(QStringLiteral("サーバーが接続を切りました"));
            }
            received_.append(buffer, static_cast<qsizetype>(count));
            return 0;
        }
        if (result != CURLE_AGAIN) {
            return failNetwork(QString::fromUtf8(curl_easy_strerror(result)));
        }
        // Only after CURLE_AGAIN: the TLS layer may hold data the socket no longer shows.
        const SocketWait wait = waitForSocket(socket_, false, deadline);
        if (wait == SocketWait::TimedOut) {
            return failNetwork(QStringLiteral("%1 秒以内に応答がありませんでした")
                                   .arg(options_.timeoutMs / 1000.0));
        }
        if (wait == SocketWait::Failed) {
            return failNetwork(QString::fromLocal8Bit(strerror(errno)));
        }
    }
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
    error_ = QStringLiteral("POP3サーバー %1 との通信に失敗しました。\n(%2)")
                 .arg(host_.authority(), detail);
    return TransportResult::NetworkFailure;
}

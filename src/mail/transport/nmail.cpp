#include "transport/nmail.h"

#include <curl/curl.h>

#include <QCryptographicHash>
#include <QFile>

#include <map>

#include "cp932.h"
#include "transport/attachment_saving.h"
#include "transport/mail_decoding.h"
#include "transport/outgoing_mail.h"
#include "transport/partial_mail_store.h"
#include "transport/pop3_session.h"
#include "transport/smtp_send.h"
#include "transport/transport_results.h"

namespace {

// The most a mail may grow beyond the size the server announced for it: line ends and
// dot-stuffing change it a little, a server that sends far more is hostile.
constexpr qsizetype kMaxMailBytes = qsizetype(256) << 20;

qsizetype fetchLimit(int listedSize) {
    return qMin(kMaxMailBytes, qsizetype(listedSize) * 2 + (qsizetype(1) << 20));
}

// The body handed back while pieces of a split mail are still on their way.
QString waitingPieceNote(const PartialMailInfo& info) {
    const QString of = info.total > 0 ? QString::number(info.total) : QStringLiteral("?");
    return QStringLiteral(
               "（分割されたメールの %1/%2 番目の部分です。全部揃うと添付フォルダに展開します。）")
        .arg(info.number)
        .arg(of);
}

QString folderPath(const QString& folder) {
    QString path = folder;
    while (path.size() > 1 && (path.endsWith(u'\\') || path.endsWith(u'/'))) {
        path.chop(1);
    }
    return path;
}

void fillBuffers(const MailSummary& summary, QString& subject, QString& date, QString& from,
                 QString& header, QString& body) {
    subject = summary.subject;
    date = summary.date;
    from = summary.from;
    header = summary.header;
    body = summary.body;
}

}  // namespace

struct NMail::State {
    NetworkOptions network;
    std::map<int, std::shared_ptr<Pop3Session>> sessions;
    int nextHandle = 1;
    QString smtpId;
    QString smtpPassword;
    QString message;
    std::optional<CertificateProblem> certificateProblem;
    bool curlStarted = false;
    // The mail last fetched, kept exactly for the attachment call.
    QByteArray lastMail;
    MailSummary lastSummary;  // decoded once for the status and the fetch calls
    int lastMailHandle = 0;
    int lastMailNo = 0;

    // The session of `handle` if it can take a call now; else the reason in `message`.
    std::shared_ptr<Pop3Session> session(int handle) {
        const auto found = sessions.find(handle);
        if (found == sessions.end()) {
            message = QStringLiteral("POP3サーバーに接続していません。もう一度受信してください。");
            return nullptr;
        }
        if (found->second->busy()) {
            message = QStringLiteral(
                "POP3サーバーとの前の処理がまだ終わっていません。"
                "前の受信が終わるまでお待ちください。");
            return nullptr;
        }
        return found->second;
    }

    int fetch(int handle, int mailNo) {
        if (handle == lastMailHandle && mailNo == lastMailNo && !lastMail.isEmpty()) {
            return 0;
        }
        const std::shared_ptr<Pop3Session> pop3 = session(handle);
        if (!pop3) {
            return TransportResult::NoConnection;
        }
        forgetLastMail();
        const int listed = pop3->mailSize(mailNo);
        if (listed < 0) {
            message = pop3->error();
            return listed;
        }
        QByteArray mail;
        const int result = pop3->fetch(mailNo, fetchLimit(listed), mail);
        if (result < 0) {
            message = pop3->error();
            return result;
        }
        // The server sends the next mail while this one is decoded and stored.
        if (const std::optional<int> next = pop3->listedSize(mailNo + 1)) {
            pop3->fetchAhead(mailNo + 1, fetchLimit(*next));
        }
        lastMail = mail;
        lastMailHandle = handle;
        lastMailNo = mailNo;
        lastSummary = summarizeMail(mail);
        return 0;
    }

    void forgetLastMail() {
        lastMail.clear();
        lastSummary = {};
        lastMailHandle = 0;
        lastMailNo = 0;
    }
};

NMail::NMail() : state_(std::make_unique<State>()) {}

NMail::~NMail() {
    state_->sessions.clear();
    if (state_->curlStarted) {
        curl_global_cleanup();
    }
}

void NMail::NMailInitializeWinSock() {
    if (!state_->curlStarted) {
        state_->curlStarted = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    }
}

void NMail::NMailSetOption(int, int) {
    // Option 1 sized the caller's buffers; buffers here are QStrings of any length.
}

void NMail::NMailEndWinSock() {
    // Connections still open are dropped without QUIT, so that nothing marked deleted
    // is removed from the server by a shutdown.
    state_->sessions.clear();
    state_->forgetLastMail();
}

int NMail::NMailPop3Connect(const QString& host) {
    state_->certificateProblem.reset();
    const std::optional<MailHost> parsed = parseMailHost(host, kPop3Protocol);
    if (!parsed) {
        state_->message = QStringLiteral(
                              "POP3サーバーの指定 \"%1\" が正しくありません。サーバーの設定画面で"
                              "POP3サーバーの名前を確かめてください。")
                              .arg(host);
        return -1;
    }
    auto session = std::make_shared<Pop3Session>(*parsed, state_->network);
    if (session->open() < 0) {
        state_->message = session->error();
        state_->certificateProblem = session->certificateProblem();
        return -1;
    }
    const int handle = state_->nextHandle++;
    state_->sessions.emplace(handle, std::move(session));
    return handle;
}

int NMail::NMailPop3Authenticate(int handle, const QString& id, const QString& password,
                                 bool apop) {
    const std::shared_ptr<Pop3Session> pop3 = state_->session(handle);
    if (!pop3) {
        return TransportResult::NoConnection;
    }
    const int count = pop3->login(id, password, apop);
    if (count < 0) {
        state_->message = pop3->error();
    }
    return count;
}

int NMail::NMailPop3GetMailStatus(int handle, int mailNo, QString& subject, QString& date,
                                  QString& from, QString& header) {
    if (const int result = state_->fetch(handle, mailNo); result < 0) {
        return result;
    }
    QString body;
    fillBuffers(state_->lastSummary, subject, date, from, header, body);
    return 1;
}

int NMail::NMailPop3GetMailSize(int handle, int mailNo) {
    // The status call has usually fetched the mail already: its size needs no round trip.
    if (handle == state_->lastMailHandle && mailNo == state_->lastMailNo &&
        !state_->lastMail.isEmpty()) {
        return static_cast<int>(state_->lastMail.size());
    }
    const std::shared_ptr<Pop3Session> pop3 = state_->session(handle);
    if (!pop3) {
        return TransportResult::NoConnection;
    }
    const int size = pop3->mailSize(mailNo);
    if (size < 0) {
        state_->message = pop3->error();
    }
    return size;
}

int NMail::mailIdentity(int handle, int mailNo, QString& identity) {
    const std::shared_ptr<Pop3Session> pop3 = state_->session(handle);
    if (!pop3) {
        return TransportResult::NoConnection;
    }
    QByteArray id;
    if (const int result = pop3->uniqueId(mailNo, id); result < 0) {
        state_->message = pop3->error();
        return result;
    }
    if (!id.isEmpty()) {
        identity = QStringLiteral("uidl:") + QString::fromLatin1(id);
        return 1;
    }
    if (const int result = state_->fetch(handle, mailNo); result < 0) {
        return result;
    }
    identity = QStringLiteral("sha256:") +
               QString::fromLatin1(
                   QCryptographicHash::hash(state_->lastMail, QCryptographicHash::Sha256).toHex());
    return 1;
}

int NMail::NMailPop3GetMail(int handle, int mailNo, QString& subject, QString& date, QString& from,
                            QString& header, QString& body) {
    if (const int result = state_->fetch(handle, mailNo); result < 0) {
        return result;
    }
    fillBuffers(state_->lastSummary, subject, date, from, header, body);
    return 1;
}

int NMail::NMailAttachmentFileFirst(QString& subject, QString& date, QString& from, QString& header,
                                    QString& body, const QString& folder, const QString&,
                                    const QString& wholeMail) {
    // A mail fetched and not yet deleted is decoded from the exact bytes the server sent,
    // whatever became of the caller's scratch copy: a lost or damaged copy never blanks it.
    const bool fetched = !state_->lastMail.isEmpty();
    const QByteArray mail = fetched ? state_->lastMail : encodeCp932(wholeMail);
    const QString target = folderPath(folder);
    DecodedMail decoded =
        decodeMail(mail, fetched ? std::optional(state_->lastSummary) : std::nullopt);
    if (decoded.partial) {
        const PartialOutcome piece = keepPartialMail(target, *decoded.partial, mail);
        switch (piece.state) {
            case PartialState::Missing:
                decoded.summary.body = waitingPieceNote(*decoded.partial);
                fillBuffers(decoded.summary, subject, date, from, header, body);
                state_->message = QStringLiteral("分割されたメールが全て揃っていません。");
                return TransportResult::PartsMissing;
            case PartialState::Failed:
                fillBuffers(decoded.summary, subject, date, from, header, body);
                state_->message =
                    QStringLiteral("分割されたメールを添付フォルダに保存できません。\n(%1)")
                        .arg(piece.error);
                return TransportResult::AttachmentCannotBeCreated;
            case PartialState::Complete:
                decoded = decodeMail(piece.rebuiltMail);
                break;
            case PartialState::Invalid:
                decoded.summary.body = summarizeMail(mail).body;
                break;
        }
    }
    fillBuffers(decoded.summary, subject, date, from, header, body);
    // All of a mail's attachments or none: a mail whose attachments cannot all be saved
    // is fetched again whole by the next check.
    AttachmentBatch batch(target);
    for (const MailAttachment& attachment : decoded.attachments) {
        if (!batch.add(attachment.fileName, attachment.content)) {
            state_->message = QStringLiteral("添付ファイル %1 を保存できません。\n(%2)")
                                  .arg(attachment.fileName, batch.error());
            return TransportResult::AttachmentCannotBeCreated;
        }
    }
    if (!batch.publish()) {
        state_->message = QStringLiteral("添付ファイルを保存できません。\n(%1)").arg(batch.error());
        return TransportResult::AttachmentCannotBeCreated;
    }
    return 1;
}

int NMail::NMailAttachmentFileClose() {
    return 1;
}

int NMail::NMailPop3DeleteMail(int handle, int mailNo) {
    const std::shared_ptr<Pop3Session> pop3 = state_->session(handle);
    if (!pop3) {
        return TransportResult::NoConnection;
    }
    const int result = pop3->markDeleted(mailNo);
    if (result < 0) {
        state_->message = pop3->error();
    }
    if (handle == state_->lastMailHandle && mailNo == state_->lastMailNo) {
        state_->forgetLastMail();
    }
    return result < 0 ? result : 1;
}

int NMail::NMailPop3Close(int handle) {
    const std::shared_ptr<Pop3Session> pop3 = state_->session(handle);
    if (!pop3) {
        return TransportResult::NoConnection;
    }
    state_->sessions.erase(handle);
    if (handle == state_->lastMailHandle) {
        state_->forgetLastMail();
    }
    const int result = pop3->quit();
    if (result < 0) {
        state_->message = pop3->error();
        return result;
    }
    return 1;
}

void NMail::dropPop3Connection(int handle) {
    state_->sessions.erase(handle);
    if (handle == state_->lastMailHandle) {
        state_->forgetLastMail();
    }
}

void NMail::setSmtpAccount(const QString& id, const QString& password) {
    state_->smtpId = id;
    state_->smtpPassword = password;
}

int NMail::NMailSmtpSendMail(const QString& smtpHost, const QString& to, const QString& from,
                             const QString& subject, const QString& body,
                             const QString& attachments) {
    const std::optional<MailHost> host = parseMailHost(smtpHost, kSmtpProtocol);
    if (!host) {
        state_->message =
            QStringLiteral(
                "SMTPサーバーの指定が正しくないため、送信できません。サーバーの設定画面で"
                "SMTPサーバーを確かめてください。\n(指定: \"%1\")")
                .arg(smtpHost);
        return TransportResult::BadInput;
    }
    OutgoingMail mail{from, splitRecipients(to), subject, body, splitAttachmentPaths(attachments)};
    if (mail.to.isEmpty()) {
        state_->message = QStringLiteral(
                              "宛先のアドレスがないため、送信できません。宛先を入力してください。\n"
                              "(宛先: \"%1\")")
                              .arg(to);
        return TransportResult::BadInput;
    }
    QString error;
    const std::optional<QByteArray> message = buildOutgoingMail(mail, error);
    if (!message) {
        state_->message = error;
        return TransportResult::UnreadableFile;
    }
    SmtpEnvelope envelope{bareAddress(from), {}, state_->smtpId, state_->smtpPassword};
    for (const QString& recipient : mail.to) {
        envelope.recipients.append(bareAddress(recipient));
    }
    const int result =
        sendSmtpMail(*host, state_->network, envelope, *message, error, state_->certificateProblem);
    if (result < 0) {
        state_->message = error;
        return result;
    }
    return 1;
}

int NMail::NMailGetMessage(QString& message) {
    message = state_->message;
    return static_cast<int>(message.size());
}

void NMail::setTimeoutMs(int ms) {
    state_->network.timeoutMs = ms;
}

void NMail::setExtraCertificates(const QString& pemPath) {
    state_->network.extraCaFile = QFile::encodeName(pemPath);
}

void NMail::setPinnedCertificates(const QString& path) {
    state_->network.pinFile = path;
}

const std::optional<CertificateProblem>& NMail::certificateProblem() const {
    return state_->certificateProblem;
}

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "transport/certificate_problem.h"

// What went wrong on the way from the POP3 server to the record file, told by the layer
// that met it and carried up as it is: what happened, what the user can do about it, and
// the technical detail. The user's words are made of it once, by the window.
struct MailFailure {
    enum class What {
        // Reaching the server.
        BadServerSetting,      // the server value names no host (`detail`: the value)
        Unreachable,           // no connection (`detail`: the system's reason)
        ConnectTimedOut,       // no connection within `seconds`
        NotPop3,               // the greeting was no POP3 "+OK" (`reply`)
        TlsFailed,             // "pop3s://": the encrypted connection did not start
        StlsFailed,            // STLS offered, the upgrade failed: nothing was sent in clear
        UntrustedCertificate,  // `certificate` says why
        TlsWithdrawn,          // it offered STLS before, not now: nothing was sent
        ClearLoginNotAgreed,   // it offers no STLS; the user has not agreed to log in so
        SecurityNotKept,       // that it offers encryption could not be noted (`path`)
        // Logging in and listing.
        LoginRefused,    // user name or password wrong (`reply`)
        MailboxInUse,    // [IN-USE]: another program holds the mailbox
        LoginTooSoon,    // [LOGIN-DELAY]: the last login was too recent
        ServerBusy,      // [SYS/TEMP]: the server cannot for now
        ServerFault,     // [SYS/PERM]: the server reports a lasting fault
        ApopNotOffered,  // APOP chosen, the greeting holds no challenge
        CommandRefused,  // `command` got -ERR (`reply`)
        BadListing,      // a mail count or listing no mailbox can have (`reply`)
        // The connection, once it spoke POP3.
        NoReply,           // nothing within `seconds`
        ConnectionClosed,  // the server hung up
        SocketError,       // `detail`: the system's reason
        GarbageReply,      // `command` got a line that is no POP3 reply (`reply`)
        LineTooLong,       // a line beyond any real reply or mail line
        MailOverLimit,     // mail `mailNo` grew beyond `limit` bytes while it came in
        // One mail, which stays on the server; the check goes on with the others.
        MailRefused,         // RETR of `mailNo` got -ERR (`reply`)
        MailTooLarge,        // its listed size is over `limit`: not fetched
        AttachmentNotSaved,  // `detail`: which file and why; `path`: the folder
        PieceNotKept,        // a piece of a split mail could not be kept (`path`, `detail`)
        // Storing, which stops the check; what was stored before stays.
        HistoryFull,       // the record file holds `limit` records
        RecordNotWritten,  // `path`, `detail`
        LedgerNotWritten,  // the list of received mails (`path`, `detail`)
        LedgerUnreadable,  // it exists and cannot be read (`path`, `detail`)
        // Closing.
        NotOnDisk,       // the sync before QUIT failed: the server deleted nothing
        DeleteRefused,   // DELE of `mailNo` got -ERR (`reply`): the mail stays
        QuitUnanswered,  // QUIT got no +OK: the server may have kept what it was to delete
    };

    // What the user can do; the window says it after what happened.
    enum class Todo {
        Nothing,
        CheckServerName,        // the server and port in the server dialog
        CheckServerAndNetwork,  // the server name and the network
        CheckNetwork,           // the network, then receive again
        UseSafeNetwork,         // a network no one can tamper with, or the provider
        CheckAccount,           // user name and password
        TurnOffApop,            // the APOP box of the server dialog
        WaitForOtherClient,     // another program holds the mailbox
        RetryLater,             // the server is busy or in trouble for now
        AskProvider,            // the server reports a lasting fault
        CheckDisk,              // ★MailData writable, free space
        CheckAttachmentFolder,  // the attachment folder there and writable
        DeleteOldMail,          // make room in the received history
    };

    MailFailure(What what, Todo todo) : what(what), todo(todo) {}

    What what;
    Todo todo;
    QString server;    // "host:port"
    QString command;   // the POP3 command concerned
    QByteArray reply;  // the server's own line
    QString detail;    // the system's or a library's words
    QString path;      // the file or folder concerned
    int mailNo = 0;    // the mail's number on the server
    qint64 limit = 0;  // bytes or records, as `what` says
    double seconds = 0;
    std::optional<CertificateProblem> certificate;
};

#include "send/sent_attempt.h"

#include "app/quillpost_app.h"
#include "desktop.h"
#include "failure_detail.h"
#include "history/tyaku_form.h"

namespace {

// Where the record written as `image` stands now, or nothing when it is gone.
std::optional<qint16> findAttempt(const SentMailStore& store, const SentAttempt& attempt) {
    if (store.file().ReadAt(attempt.recordNo) == attempt.image) {
        return attempt.recordNo;
    }
    std::optional<qint16> found;
    store.file().ReadAll([&](qint16 recordNo, const QByteArray& bytes) {
        if (bytes == attempt.image) {
            found = recordNo;
        }
        return true;
    });
    return found;
}

}  // namespace

std::optional<SentAttempt> RecordSendAttempt(QuillpostApp& app, QWidget* parent,
                                             const SentMailRecord& record) {
    SentMailStore store = sentMailStore(app.folder());
    SentAttempt attempt{0, record.toBytes(), app.CurrentRecordNo, app.SentBuffer};
    const auto recordNo = store.Append(record);
    if (!recordNo) {
        app.desktop().message(
            parent,
            QStringLiteral("送信履歴に記録できないため、このメールは送信しませんでした。"
                           "★MailDataフォルダに書き込めるか、ディスクに空きがあるかを確かめてから、"
                           "もう一度送信してください。\n") +
                fileAndReason(store.file().path(), store.errorString()));
        return std::nullopt;
    }
    attempt.recordNo = *recordNo;
    app.SentBuffer = record;
    app.CurrentRecordNo = *recordNo;
    return attempt;
}

void WithdrawSendAttempt(QuillpostApp& app, QWidget* parent, const SentAttempt& attempt) {
    SentMailStore store = sentMailStore(app.folder());
    if (const auto recordNo = findAttempt(store, attempt)) {
        const bool withdrawn = store.Delete(*recordNo);
        if (!withdrawn) {
            app.desktop().message(
                parent,
                (store.changedButUnconfirmed()
                     ? QStringLiteral("送信できなかったメールの記録を送信履歴から消しましたが、"
                                      "ディスクに書き込まれたことを確かめられませんでした。"
                                      "送信履歴に残っていたら削除してください。\n")
                     : QStringLiteral("送信できなかったメールの記録を送信履歴から"
                                      "消せませんでした。送信履歴から削除してください。\n")) +
                    fileAndReason(store.file().path(), store.errorString()));
        }
        // Also taken out when the disk did not confirm it.
        const bool gone = withdrawn || store.changedButUnconfirmed();
        if (gone && app.HistoryMode == 2 && app.isTyakuFormLoaded() &&
            app.tyakuForm().isVisible()) {
            // Listed while the mail was on its way, the attempt's row would now stand for
            // the record behind it.
            app.tyakuForm().RefillInBackground();
        }
    }
    // Only what this attempt set is put back: a selection made meanwhile stays.
    if (app.CurrentRecordNo == attempt.recordNo) {
        app.CurrentRecordNo = attempt.previousCurrentRecordNo;
        app.SentBuffer = attempt.previousBuffer;
    }
}

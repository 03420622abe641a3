#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

#include <iostream>
#include <memory>
#include <ostream>

#include "fault_injection.h"
#include "receive_test.h"
#include "scripted_pop3.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"

namespace {

using faultInjection::Call;

QByteArray splitPiece(int number, const QByteArray& part) {
    return "From: hanako@example.jp\r\nSubject: split " + QByteArray::number(number) +
           "\r\nMIME-Version: 1.0\r\nContent-Type: message/partial; id=\"fault@example.jp\"; "
           "number=" +
           QByteArray::number(number) + "; total=2\r\n\r\n" + part;
}

struct Scenario {
    const char* name;
    QList<QByteArray> mails;
    QStringList stored;       // the subjects the checks are to store, each once
    QStringList attachments;  // the files the checks are to leave in the attachment folder
    bool keepOnServer = false;
};

// Named in the test's list by what it checks, not by its bytes.
void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

Scenario plainCheck() {
    return {"mail check",
            {plainTestMail("first", "一通目"), testMailWithAttachment("second", "report.bin"),
             plainTestMail("third", "三通目")},
            {QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")},
            {QStringLiteral("report.bin")}};
}

Scenario splitCheck() {
    const QByteArray whole = testMailWithAttachment("split whole", "joined.bin");
    const qsizetype half = whole.size() / 2;
    return {"split mail",
            {splitPiece(1, whole.left(half)), splitPiece(2, whole.mid(half))},
            {QStringLiteral("split 1"), QStringLiteral("split whole")},
            {QStringLiteral("joined.bin")}};
}

Scenario keptCheck() {
    return {"mail kept on the server",
            {plainTestMail("kept one", "x"), plainTestMail("kept two", "y")},
            {QStringLiteral("kept one"), QStringLiteral("kept two")},
            {},
            true};
}

// A check whose every write, sync, rename, open and close fails in turn: whatever failed,
// the user is told, no record is cut, and the next check stores every mail exactly once
// and leaves no temporary file or piece behind.
class ReceiveDiskFaults : public ReceiveTest, public ::testing::WithParamInterface<Scenario> {
  protected:
    void emptyFolder() {
        for (const QString& sub : {QStringLiteral("★MailData"), QStringLiteral("添付フォルダ")}) {
            QDir dir(folder.file(sub));
            ASSERT_TRUE(dir.removeRecursively());
            ASSERT_TRUE(dir.mkpath(QStringLiteral(".")));
        }
    }

    QStringList everyFile() const {
        QStringList names;
        QDirIterator it(folder.path(),
                        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            names.append(QDir(folder.path()).relativeFilePath(it.next()));
        }
        names.sort();
        return names;
    }

    void expectWholeAndOnce(const Scenario& scenario, const std::string& what) {
        EXPECT_EQ(QFileInfo(folder.file(QStringLiteral("★MailData/qsmdata2.data"))).size() %
                      ReceivedMailRecord::Length,
                  0)
            << what;
        QStringList stored = storedSubjects();
        stored.sort();
        QStringList expected = scenario.stored;
        // A piece that could not be kept comes again after the other: the note of the
        // one that waited is stored instead.
        if (stored.contains(QStringLiteral("split 2"))) {
            expected.replaceInStrings(QStringLiteral("split 1"), QStringLiteral("split 2"));
        }
        expected.sort();
        EXPECT_EQ(stored.join(u'|').toStdString(), expected.join(u'|').toStdString()) << what;
        QStringList files = everyFile();
        QStringList expectedFiles = {QStringLiteral("★MailData"), QStringLiteral("添付フォルダ")};
        for (const QString& name : scenario.attachments) {
            expectedFiles.append(QStringLiteral("添付フォルダ/") + name);
            EXPECT_EQ(folder.read(QStringLiteral("添付フォルダ/") + name), QByteArray(5000, 'D'))
                << what;
        }
        // The data folder holds what a clean check leaves there, nothing half-made.
        static const QRegularExpression dataFile(
            QStringLiteral("^★MailData/(qsmdata2\\.data|received-ids\\.txt|iniIdPass\\.ini|"
                           "server-copies\\.ini)$"));
        files.removeIf([](const QString& name) { return dataFile.match(name).hasMatch(); });
        expectedFiles.sort();
        EXPECT_EQ(files.join(u'|').toStdString(), expectedFiles.join(u'|').toStdString()) << what;
    }
};

TEST_P(ReceiveDiskFaults, EveryFailedWriteIsToldAndTheNextCheckStoresEachMailOnce) {
    const Scenario scenario = GetParam();
    int told = 0;
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close}, [&](const auto& plan) {
            const std::string what = faultInjection::describe(plan).toStdString();
            emptyFolder();
            startApp();
            ScriptedPop3 server({});
            EXPECT_TRUE(server.started());
            for (const QByteArray& mail : scenario.mails) {
                server.addMail(mail);
            }
            useServer(server.host());
            if (scenario.keepOnServer) {
                EXPECT_TRUE(writeServerCopySettings(folder.path(), {true, 0}));
            }
            desktop.messages.clear();
            faultInjection::arm(plan, folder.path());
            check();
            const bool fired = faultInjection::disarm();
            const bool toldFailure =
                std::any_of(desktop.messages.begin(), desktop.messages.end(),
                            [](const auto& box) { return box.title == QStringLiteral("エラー"); });
            EXPECT_EQ(toldFailure, fired) << what;
            told += fired && toldFailure ? 1 : 0;
            EXPECT_EQ(QFileInfo(folder.file(QStringLiteral("★MailData/qsmdata2.data"))).size() %
                          ReceivedMailRecord::Length,
                      0)
                << what << ": a record cut short";

            // The next check, on a sound disk, mends everything.
            check();
            if (scenario.keepOnServer) {
                check();
                EXPECT_EQ(server.mails().size(), scenario.mails.size()) << what;
            } else {
                EXPECT_TRUE(server.mails().isEmpty()) << what;
            }
            expectWholeAndOnce(scenario, what);
            return fired;
        });
    EXPECT_EQ(told, faults);
    std::cout << scenario.name << ": " << faults << " faults, " << told << " told\n";
}

INSTANTIATE_TEST_SUITE_P(Checks, ReceiveDiskFaults,
                         ::testing::Values(plainCheck(), splitCheck(), keptCheck()),
                         [](const auto& info) {
                             return std::string(info.index == 0   ? "Plain"
                                                : info.index == 1 ? "SplitMail"
                                                                  : "KeptOnServer");
                         });

}  // namespace

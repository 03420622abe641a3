#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "temp_app_folder.h"
#include "transport/certificate_pins.h"
#include "transport/certificate_problem.h"

namespace {

const QByteArray kFirst(32, '\xab');
const QByteArray kSecond(32, '\x01');

TEST(CertificatePins, PinsAreKeptPerServerAndReplacedInPlace) {
    TempAppFolder folder;
    const QString path = pinnedCertificatesPath(folder.path());
    const QString file = QStringLiteral("★MailData/pinned-certificates.txt");
    ASSERT_TRUE(pinnedCertificate(path, QStringLiteral("mail.example.jp:465")).isEmpty());
    folder.write(file, "# home server\r\nbroken line\r\nother.example.jp:995 AB:CD\r\n");

    QString error;
    ASSERT_TRUE(pinCertificate(path, QStringLiteral("Mail.Example.JP:465"), kFirst, error));
    ASSERT_TRUE(pinCertificate(path, QStringLiteral("mail.example.jp:587"), kSecond, error));
    EXPECT_EQ(pinnedCertificate(path, QStringLiteral("mail.example.jp:465")), kFirst);
    EXPECT_EQ(pinnedCertificate(path, QStringLiteral("mail.example.jp:587")), kSecond);
    EXPECT_TRUE(pinnedCertificate(path, QStringLiteral("mail.example.jp:25")).isEmpty());

    ASSERT_TRUE(pinCertificate(path, QStringLiteral("mail.example.jp:465"), kSecond, error));
    EXPECT_EQ(pinnedCertificate(path, QStringLiteral("MAIL.example.jp:465")), kSecond);
    const QByteArray text = folder.read(file);
    EXPECT_TRUE(text.startsWith("# home server\r\nbroken line\r\nother.example.jp:995 AB:CD\r\n"))
        << "lines that hold no pin are kept";
    EXPECT_EQ(text.count("mail.example.jp:465"), 1) << text.constData();
    EXPECT_TRUE(
        text.endsWith("mail.example.jp:465 " + formatFingerprint(kSecond).toLatin1() + "\r\n"));
    EXPECT_EQ(QDir(folder.file(QStringLiteral("★MailData"))).entryList(QDir::Files).size(), 1)
        << "no temporary file is left behind";
    EXPECT_EQ(QFile::permissions(path),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser)
        << "which servers the user trusts is their own business";
}

TEST(CertificatePins, UnwritableFolderFailsWithAReason) {
    TempAppFolder folder;
    QString error;
    EXPECT_FALSE(pinCertificate(folder.file(QStringLiteral("no such folder/pins.txt")),
                                QStringLiteral("a:1"), kFirst, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(CertificatePins, FingerprintsReadBackOnlyWhenWhole) {
    const QString text = formatFingerprint(kFirst);
    EXPECT_EQ(text.size(), 95);
    EXPECT_TRUE(text.startsWith(QStringLiteral("AB:AB:")));
    EXPECT_EQ(parseFingerprint(text.toLower()), kFirst);
    EXPECT_EQ(parseFingerprint(QString(text).remove(u':')), kFirst);
    for (const QString& bad : {text.left(94), text + QStringLiteral(":AB"),
                               QString(text).replace(0, 1, u'G'), QString()}) {
        EXPECT_TRUE(parseFingerprint(bad).isEmpty()) << bad.toStdString();
    }
}

}  // namespace

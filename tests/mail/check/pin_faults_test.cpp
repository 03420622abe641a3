#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <iostream>

#include "fault_injection.h"
#include "temp_app_folder.h"
#include "transport/certificate_pins.h"

namespace {

using faultInjection::Call;

// Pinning one server's certificate never drops the other servers' pins, whatever call
// fails, and a failure is always told.
TEST(PinFaults, APinIsAddedWholeOrTheOldPinsStay) {
    const QByteArray oldDigest(32, '\x11');
    const QByteArray newDigest(32, '\x22');
    int told = 0;
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close}, [&](const auto& plan) {
            TempAppFolder app;
            const QString path = pinnedCertificatesPath(app.path());
            QString error;
            for (int n = 1; n <= 5; ++n) {
                EXPECT_TRUE(pinCertificate(path, QStringLiteral("mail%1.example.jp:995").arg(n),
                                           oldDigest, error));
            }
            faultInjection::arm(plan, app.path());
            const bool pinned =
                pinCertificate(path, QStringLiteral("new.example.jp:995"), newDigest, error);
            const bool fired = faultInjection::disarm();
            const std::string what = faultInjection::describe(plan).toStdString();
            for (int n = 1; n <= 5; ++n) {
                EXPECT_EQ(pinnedCertificate(path, QStringLiteral("mail%1.example.jp:995").arg(n)),
                          oldDigest)
                    << what;
            }
            const QByteArray now = pinnedCertificate(path, QStringLiteral("new.example.jp:995"));
            EXPECT_TRUE(now.isEmpty() || now == newDigest) << what;
            EXPECT_EQ(pinned, !fired) << what;
            if (!pinned) {
                ++told;
                EXPECT_TRUE(error.contains(QStringLiteral("ディスクの空き"))) << what;
            }
            EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files).size(), 1) << what;
            return fired;
        });
    EXPECT_EQ(told, faults);
    std::cout << "certificate pin: " << faults << " faults, " << told << " told\n";
}

}  // namespace

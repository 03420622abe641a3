#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>
#include <iostream>

#include "fault_injection.h"
#include "record_file.h"
#include "temp_app_folder.h"

namespace {

using faultInjection::Call;

constexpr int kLength = 40;
constexpr int kFlagAt = 30;

QByteArray record(char fill, qint16 flag = 1) {
    QByteArray bytes(kLength, fill);
    writeLiveFlag(bytes, kFlagAt, flag);
    return bytes;
}

// One operation on a record file: the file before, what the operation does, and the file
// a clean run leaves. An operation that writes over bytes in place puts them back after a
// failed write, which a full disk refuses too (a real one rarely: the space is taken
// already); there the records before the written one are what must stay.
struct Operation {
    const char* name;
    QByteArray before;
    std::function<bool(RecordFile&)> run;
    QByteArray after;
    QByteArray keptOnAFullDisk = {};
};

const QByteArray kThree = record('a') + record('b') + record('c');

QList<Operation> operations() {
    return {
        {"Append to a new file",
         {},
         [](RecordFile& f) { return f.Append(record('n')).has_value(); },
         record('n')},
        {"Append over a partial record", kThree + QByteArray(7, 'p'),
         [](RecordFile& f) { return f.Append(record('n')) == 4; }, kThree + record('n'), kThree},
        {"MarkDeleted", kThree, [](RecordFile& f) { return f.MarkDeleted(2, record('b')); },
         record('a') + record('b', 0) + record('c'), record('a')},
        {"Delete", kThree + record('x', 0), [](RecordFile& f) { return f.Delete(2); },
         record('a') + record('c')},
        {"DeleteAll", kThree, [](RecordFile& f) { return f.DeleteAll(); }, {}},
    };
}

// Every failing call leaves the record file as it was or as the operation makes it, never
// torn, mixed or beside a temporary file; a failure is told exactly when the file is not
// the clean result (or, replaced, not confirmed on disk), and a fault on any call but the
// close of a file only read is a failure.
TEST(RecordFileFaultsTest, EveryFailingCallLeavesTheFileBeforeOrAfterAndIsTold) {
    for (const Operation& operation : operations()) {
        const int faults = faultInjection::eachFault(
            {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close},
            [&](const faultInjection::Plan& plan) {
                const std::string where = std::string(operation.name) + ": " +
                                          faultInjection::describe(plan).toStdString();
                TempAppFolder app;
                const QString data = app.file(QStringLiteral("records.data"));
                if (!operation.before.isEmpty()) {
                    app.write(QStringLiteral("records.data"), operation.before);
                }
                RecordFile file(data, app.file(QStringLiteral("RECORDS.TMP")), kLength, kFlagAt);
                faultInjection::arm(plan, app.path());
                const bool done = operation.run(file);
                const bool fired = faultInjection::disarm();
                const QByteArray now = app.read(QStringLiteral("records.data"));
                const bool existed = !operation.before.isEmpty() || now == operation.after;
                EXPECT_EQ(QDir(app.path()).entryList(QDir::Files),
                          existed ? QStringList{QStringLiteral("records.data")} : QStringList())
                    << where;
                if (fired && plan.failure == faultInjection::Failure::DiskFull &&
                    !operation.keptOnAFullDisk.isEmpty()) {
                    EXPECT_FALSE(done) << where;
                    EXPECT_TRUE(now.startsWith(operation.keptOnAFullDisk)) << where;
                } else if (done) {
                    EXPECT_EQ(now, operation.after) << where;
                } else {
                    EXPECT_FALSE(file.errorString().isEmpty()) << where;
                    EXPECT_EQ(now,
                              file.changedButUnconfirmed() ? operation.after : operation.before)
                        << where;
                }
                EXPECT_TRUE(done || fired) << where;
                if (fired && plan.call != Call::Close) {
                    EXPECT_FALSE(done) << where;
                }
                return fired;
            });
        std::cout << operation.name << ": " << faults << " fault runs\n";
        EXPECT_GE(faults, 3) << operation.name;
    }
}

}  // namespace

#pragma once

#include <QList>
#include <QString>

#include <functional>

// Makes one call of the system fail for real, the way a failing disk would: the program
// under test is linked with this library, whose write, sync, rename, open and close stand
// in front of the C library's. Only calls on files below the armed folder are counted, so
// sockets, pipes and the test's own output are never touched.
namespace faultInjection {

enum class Call { Open, Write, Sync, Rename, Close };

enum class Failure {
    // The nth call fails with EIO; later calls succeed, as after a passing fault.
    Io,
    // The nth write stores half of its bytes and every later write fails with ENOSPC: the
    // disk is full. For the other calls, as Io.
    DiskFull,
};

struct Plan {
    Call call;
    int nth;
    Failure failure = Failure::Io;
};

// Fails the planned call among those on files below `under`.
void arm(const Plan& plan, const QString& under);
// Stops failing. True when the planned call was reached (and so made to fail).
bool disarm();

QString describe(const Plan& plan);

// Runs an operation once for every call of the given kinds it makes, that
// call failing: for each kind (a write both with EIO and with a full disk) the first, the
// second, … until a run no longer reaches the planned call. `run` sets up, arms the plan,
// runs the operation, and returns disarm()'s answer after checking what it left. Returns
// the number of runs in which a fault was made.
int eachFault(const QList<Call>& calls, const std::function<bool(const Plan&)>& run);

}  // namespace faultInjection

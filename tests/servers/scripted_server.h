#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// The process of one scripted server (scripted_listener.py): it prints the port it listens
// on, and ends when its standard input closes, here or when the test dies.
class ScriptedServerProcess {
  public:
    ScriptedServerProcess(const QString& script, const QStringList& arguments,
                          const QString& errorLog);
    ~ScriptedServerProcess();
    ScriptedServerProcess(const ScriptedServerProcess&) = delete;
    ScriptedServerProcess& operator=(const ScriptedServerProcess&) = delete;

    // 0 when the server did not start.
    int port() const { return port_; }

  private:
    QProcess process_;
    int port_ = 0;
};

// Makes or removes the file whose being there switches a scripted server's behaviour.
void setFlagFile(const QString& path, bool on);
// The lines of a server's log, trimmed, in order; none when there is no log yet.
QList<QByteArray> loggedLines(const QString& path);
// The contents of the "*.eml" files of a folder, in name order.
QList<QByteArray> mailFilesIn(const QString& folder);

#pragma once

#include <QPointer>
#include <QString>

#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "transport/nmail.h"

class BackColorForm;
class BackForm;
class Clock;
class Desktop;
class FriendForm;
class IdPassForm;
class MainForm;
class OptionForm;
class QWidget;
class TuikaForm;
class TyakuForm;
class WriteForm;

// Quillpost's application object: the values every window shares for the whole run, the
// record buffers, the transport, and the windows, each created when first asked for
// (running its load steps) and forgotten when it is unloaded.
class QuillpostApp {
  public:
    QuillpostApp(QString folder, Desktop& desktop, Clock& clock);
    ~QuillpostApp();
    QuillpostApp(const QuillpostApp&) = delete;
    QuillpostApp& operator=(const QuillpostApp&) = delete;

    const QString& folder() const { return folder_; }
    Desktop& desktop() { return desktop_; }
    Clock& clock() { return clock_; }
    NMail& transport() { return transport_; }

    MainForm& mainForm();
    TyakuForm& tyakuForm();
    TuikaForm& tuikaForm();
    WriteForm& writeForm();
    BackForm& backForm();
    FriendForm& friendForm();
    OptionForm& optionForm();
    IdPassForm& idPassForm();
    BackColorForm& backColorForm();
    // Whether a window is loaded, asked without loading it.
    bool isLoaded(const QWidget* form) const;
    bool isTyakuFormLoaded() const { return !tyaku_.isNull(); }
    bool isBackFormLoaded() const { return !back_.isNull(); }
    bool isWriteFormLoaded() const { return !write_.isNull(); }

    // Called by a window that is being unloaded.
    void forget(QWidget* form);
    // Ends the run: the transport is shut down and every window closed. Long operations
    // check ending() after each pause and stop.
    void End();
    bool ending() const { return ending_; }

    // Shared values.
    QString SmtpServer;
    QString Pop3Server;
    QString MailAddress;
    qint16 ApopFlag = 0;
    QString AccountId;
    QString AccountPassword;
    // The ID and password were typed in the account dialog during this run, saved or not:
    // a check uses them rather than the file's.
    bool accountTyped = false;
    // The account this run logs in with: the one typed, or else the file's.
    AccountSettings accountInUse() const {
        return accountTyped ? AccountSettings{AccountId, AccountPassword}
                            : readAccountSettings(folder_);
    }
    qint16 CurrentRecordNo = 0;
    qint16 HistoryMode = 0;

    // One record buffer per record type, shared by all windows.
    ReceivedMailRecord ReceivedBuffer;
    SentMailRecord SentBuffer;
    AddressRecord AddressBuffer;

  private:
    QString folder_;
    Desktop& desktop_;
    Clock& clock_;
    NMail transport_;
    bool ending_ = false;

    QPointer<MainForm> main_;
    QPointer<TyakuForm> tyaku_;
    QPointer<TuikaForm> tuika_;
    QPointer<WriteForm> write_;
    QPointer<BackForm> back_;
    QPointer<FriendForm> friend_;
    QPointer<OptionForm> option_;
    QPointer<IdPassForm> idPass_;
    QPointer<BackColorForm> backColor_;
};

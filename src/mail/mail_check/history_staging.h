#pragma once

#include "receive/received_mail_sink.h"
#include "store/mail_records.h"

class QuillpostApp;

// The mail check's staging in the history window: each mail goes into the hidden boxes
// Text1–Text4, a row of the list that names its record and Text7 (the number of rows),
// and StoreReceivedMail writes it from there. The window is asked for afresh each time:
// the user may have closed it during a wait.
class HistoryStaging final : public ReceivedMailSink {
  public:
    explicit HistoryStaging(QuillpostApp& app);

    void startList() override;
    ReceivedMailRecord stage(const ReceivedMail& mail, qint16 recordNo) override;
    bool store(qint16 recordNo, QString& error) override;
    void unstage(qint16 recordNo) override;
    bool ending() const override;

  private:
    QuillpostApp& app_;
    // Paths are resolved once per check: matching names without regard to case reads the
    // folders.
    ReceivedMailStore store_;
};

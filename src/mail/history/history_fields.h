#pragma once

#include "store/mail_records.h"

// Where the record fields of one history go: the list columns and the boxes under it.
struct HistoryFields {
    RecordField subject;
    RecordField second;  // From (received) or To (sent)
    RecordField third;   // Date (received) or SentAt (sent)
    RecordField body;
};

inline constexpr HistoryFields kReceivedFields{
    ReceivedMailRecord::SubjectField, ReceivedMailRecord::FromField, ReceivedMailRecord::DateField,
    ReceivedMailRecord::BodyField};
inline constexpr HistoryFields kSentFields{SentMailRecord::SubjectField, SentMailRecord::ToField,
                                           SentMailRecord::SentAtField, SentMailRecord::BodyField};

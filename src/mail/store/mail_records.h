#pragma once

#include <QByteArray>
#include <QString>

#include "record_layout.h"
#include "record_store.h"

// The three record layouts of Quillpost's data folder. Text fields are code page 932,
// padded with spaces; every record ends in CR LF and a 16-bit little-endian live flag.

// "qsmdata2.data": one received mail.
struct ReceivedMailRecord {
    static constexpr int Length = 32284;
    static constexpr RecordField SubjectField{0, 100};
    static constexpr RecordField DateField{100, 90};
    static constexpr RecordField FromField{190, 90};
    static constexpr RecordField BodyField{280, 32000};
    static constexpr int LineEndOffset = 32280;
    static constexpr int LiveFlagOffset = 32282;

    QString Subject;
    QString Date;
    QString From;
    QString Body;
    qint16 LiveFlag = 1;

    QByteArray toBytes() const;
    static ReceivedMailRecord fromBytes(const QByteArray& bytes);
    void clearForDeletion() {}
};

// "qsmdata6.data": one sent mail.
struct SentMailRecord {
    static constexpr int Length = 32284;
    static constexpr RecordField SubjectField{0, 100};
    static constexpr RecordField ToField{100, 90};
    static constexpr RecordField BodyField{190, 32000};
    static constexpr int LineEndOffset = 32190;
    static constexpr RecordField SentAtField{32192, 90};
    static constexpr int LiveFlagOffset = 32282;

    QString Subject;
    QString To;
    QString Body;
    QString SentAt;
    qint16 LiveFlag = 1;

    QByteArray toBytes() const;
    static SentMailRecord fromBytes(const QByteArray& bytes);
    void clearForDeletion() {}
};

// "qsmdata.data": one address-book entry.
struct AddressRecord {
    static constexpr int Length = 184;
    static constexpr RecordField NameField{0, 90};
    static constexpr int LineEndOffset = 90;
    static constexpr int LiveFlagOffset = 92;
    static constexpr RecordField AddressField{94, 90};

    QString Name;
    qint16 LiveFlag = 1;
    QString Address;

    QByteArray toBytes() const;
    static AddressRecord fromBytes(const QByteArray& bytes);
    // A deleted entry's name is written as a single space.
    void clearForDeletion() { Name = QStringLiteral(" "); }
};

using ReceivedMailStore = RecordStore<ReceivedMailRecord>;
using SentMailStore = RecordStore<SentMailRecord>;
using AddressStore = RecordStore<AddressRecord>;

// The record files in the data folder under the application folder `folder`.
ReceivedMailStore receivedMailStore(const QString& folder);
SentMailStore sentMailStore(const QString& folder);
AddressStore addressStore(const QString& folder);

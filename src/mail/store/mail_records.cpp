#include "store/mail_records.h"

#include "app_folder.h"

QByteArray ReceivedMailRecord::toBytes() const {
    QByteArray bytes(Length, ' ');
    writeField(bytes, SubjectField, Subject);
    writeField(bytes, DateField, Date);
    writeField(bytes, FromField, From);
    writeField(bytes, BodyField, Body);
    writeLineEnd(bytes, LineEndOffset);
    writeLiveFlag(bytes, LiveFlagOffset, LiveFlag);
    return bytes;
}

ReceivedMailRecord ReceivedMailRecord::fromBytes(const QByteArray& bytes) {
    return {readField(bytes, SubjectField), readField(bytes, DateField),
            readField(bytes, FromField), readField(bytes, BodyField),
            readLiveFlag(bytes, LiveFlagOffset)};
}

QByteArray SentMailRecord::toBytes() const {
    QByteArray bytes(Length, ' ');
    writeField(bytes, SubjectField, Subject);
    writeField(bytes, ToField, To);
    writeField(bytes, BodyField, Body);
    writeLineEnd(bytes, LineEndOffset);
    writeField(bytes, SentAtField, SentAt);
    writeLiveFlag(bytes, LiveFlagOffset, LiveFlag);
    return bytes;
}

SentMailRecord SentMailRecord::fromBytes(const QByteArray& bytes) {
    return {readField(bytes, SubjectField), readField(bytes, ToField), readField(bytes, BodyField),
            readField(bytes, SentAtField), readLiveFlag(bytes, LiveFlagOffset)};
}

QByteArray AddressRecord::toBytes() const {
    QByteArray bytes(Length, ' ');
    writeField(bytes, NameField, Name);
    writeLineEnd(bytes, LineEndOffset);
    writeLiveFlag(bytes, LiveFlagOffset, LiveFlag);
    writeField(bytes, AddressField, Address);
    return bytes;
}

AddressRecord AddressRecord::fromBytes(const QByteArray& bytes) {
    return {readField(bytes, NameField), readLiveFlag(bytes, LiveFlagOffset),
            readField(bytes, AddressField)};
}

ReceivedMailStore receivedMailStore(const QString& folder) {
    return ReceivedMailStore(appPath(folder, u"\\★MAilData\\qsmdata2.data"),
                             appPath(folder, u"\\★MAilData\\QSMDATA2.TMP"));
}

SentMailStore sentMailStore(const QString& folder) {
    return SentMailStore(appPath(folder, u"\\★MAilData\\qsmdata6.data"),
                         appPath(folder, u"\\★MAilData\\QSMDATA6.TMP"));
}

AddressStore addressStore(const QString& folder) {
    return AddressStore(appPath(folder, u"\\★MAilData\\qsmdata.data"),
                        appPath(folder, u"\\★MAilData\\QSMDATA.TMP"));
}

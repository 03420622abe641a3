#include "keyword_record.h"

#include "app_folder.h"

QByteArray KeywordRecord::toBytes() const {
    QByteArray bytes(Length, ' ');
    writeField(bytes, KeywordField, Keyword);
    writeLineEnd(bytes, LineEndOffset);
    writeLiveFlag(bytes, LiveFlagOffset, LiveFlag);
    return bytes;
}

KeywordRecord KeywordRecord::fromBytes(const QByteArray& bytes) {
    return {readField(bytes, KeywordField), readLiveFlag(bytes, LiveFlagOffset)};
}

KeywordStore keywordStore(const QString& folder) {
    return KeywordStore(appPath(folder, u"\\qsmdata9.data"), appPath(folder, u"\\QSMDATA9.TMP"));
}

#pragma once

#include <QByteArray>
#include <QString>

#include "record_layout.h"
#include "record_store.h"

// Holdfast's list of harmful attachment names ("\qsmdata9.data"), 54 bytes a record.
struct KeywordRecord {
    static constexpr int Length = 54;
    static constexpr RecordField KeywordField{0, 50};
    static constexpr int LineEndOffset = 50;
    static constexpr int LiveFlagOffset = 52;

    QString Keyword;
    qint16 LiveFlag = 1;

    QByteArray toBytes() const;
    static KeywordRecord fromBytes(const QByteArray& bytes);
    void clearForDeletion() {}
};

using KeywordStore = RecordStore<KeywordRecord>;

// The keyword list in Holdfast's folder, with its compaction file "\QSMDATA9.TMP".
KeywordStore keywordStore(const QString& folder);

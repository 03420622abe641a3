#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QTreeWidgetItem>
#include <QVariant>

#include <array>

#include "record_layout.h"

// The bytes a list cell shows for a record field: the field cut at its first NUL, without
// the space padding at its end.
QByteArrayView listCellBytes(const QByteArray& record, RecordField field);

// The rows of one listing of a history, three cells each. The cells are kept as their
// stored bytes, in one buffer that the rows share, and a cell is decoded only when it is
// asked for: painting asks for the rows in sight, so a list of thousands of mails costs
// the decoding of a screenful.
class ListedRows {
  public:
    static constexpr int kColumns = 3;
    // Where a row's cells lie in the shared bytes, one after another.
    struct Row {
        qint16 recordNo;
        qsizetype start;
        std::array<quint16, kColumns> lengths;
    };

    explicit ListedRows(std::array<RecordField, kColumns> columns) : columns_(columns) {}

    // Keeps the cells of `record`, listed as record `recordNo`.
    void add(qint16 recordNo, const QByteArray& record);
    qsizetype size() const { return rows_.size(); }
    // New rows for all that were added, in order; they answer Qt::UserRole of column 0 with
    // their record number. The caller owns them.
    QList<QTreeWidgetItem*> makeRows() const;

  private:
    std::array<RecordField, kColumns> columns_;
    QByteArray cells_;
    QList<Row> rows_;
};

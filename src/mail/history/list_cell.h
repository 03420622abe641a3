#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <QTreeWidgetItem>
#include <QVariant>

#include <array>

#include "record_layout.h"

// What a row of the history's list names, besides its cells: the record it shows and the
// history (HistoryMode) of that record.
inline constexpr int kRecordNoRole = Qt::UserRole;
inline constexpr int kHistoryRole = Qt::UserRole + 1;

// A row for record `recordNo` of history `history` that shows the given cells.
QTreeWidgetItem* namedRow(const QStringList& cells, qint16 recordNo, qint16 history);

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

    // Rows of the history `history` (HistoryMode), showing the fields `columns`.
    ListedRows(std::array<RecordField, kColumns> columns, qint16 history)
        : columns_(columns), history_(history) {}

    // Keeps the cells of `record`, listed as record `recordNo`.
    void add(qint16 recordNo, const QByteArray& record);
    qsizetype size() const { return rows_.size(); }
    // New rows for all that were added, in order; they answer kRecordNoRole and
    // kHistoryRole of column 0. The caller owns them.
    QList<QTreeWidgetItem*> makeRows() const;

  private:
    std::array<RecordField, kColumns> columns_;
    qint16 history_;
    QByteArray cells_;
    QList<Row> rows_;
};

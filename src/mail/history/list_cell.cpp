#include "history/list_cell.h"

#include <cstring>

#include "cp932.h"

namespace {

// A list row that decodes its cells from the shared bytes when asked. A value set on the
// row, a text included, takes the place of what it would decode.
class ListedRow : public QTreeWidgetItem {
  public:
    ListedRow(QByteArray cells, const ListedRows::Row& row, qint16 history)
        : QTreeWidgetItem(UserType), cells_(std::move(cells)), row_(row), history_(history) {}

    QVariant data(int column, int role) const override {
        QVariant set = QTreeWidgetItem::data(column, role);
        if (set.isValid() || column < 0 || column >= ListedRows::kColumns) {
            return set;
        }
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            qsizetype start = row_.start;
            for (int c = 0; c < column; ++c) {
                start += row_.lengths[c];
            }
            return decodeCp932(QByteArrayView(cells_).sliced(start, row_.lengths[column]));
        }
        if (role == kRecordNoRole && column == 0) {
            return row_.recordNo;
        }
        if (role == kHistoryRole && column == 0) {
            return history_;
        }
        return set;
    }

  private:
    QByteArray cells_;
    ListedRows::Row row_;
    qint16 history_;
};

}  // namespace

QTreeWidgetItem* namedRow(const QStringList& cells, qint16 recordNo, qint16 history) {
    auto* row = new QTreeWidgetItem(cells);
    row->setData(0, kRecordNoRole, recordNo);
    row->setData(0, kHistoryRole, history);
    return row;
}

QByteArrayView listCellBytes(const QByteArray& record, RecordField field) {
    // Neither NUL nor a space can be the second byte of a double-byte character, so the
    // bytes can be cut before decoding.
    QByteArrayView bytes = QByteArrayView(record).sliced(field.offset, field.width);
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) {
        bytes.truncate(nul);
    }
    // Most of a field is padding: it is passed over eight spaces at a time.
    constexpr quint64 kEightSpaces = 0x2020202020202020;
    while (bytes.size() >= 8) {
        quint64 word = 0;
        std::memcpy(&word, bytes.data() + bytes.size() - 8, sizeof word);
        if (word != kEightSpaces) {
            break;
        }
        bytes.chop(8);
    }
    while (!bytes.isEmpty() && bytes.back() == ' ') {
        bytes.chop(1);
    }
    return bytes;
}

void ListedRows::add(qint16 recordNo, const QByteArray& record) {
    std::array<QByteArrayView, kColumns> cells;
    Row row{recordNo, cells_.size(), {}};
    qsizetype total = 0;
    for (int c = 0; c < kColumns; ++c) {
        cells[c] = listCellBytes(record, columns_[c]);
        row.lengths[c] = static_cast<quint16>(cells[c].size());
        total += cells[c].size();
    }
    cells_.resize(row.start + total);
    char* into = cells_.data() + row.start;
    for (const QByteArrayView& cell : cells) {
        std::memcpy(into, cell.data(), static_cast<size_t>(cell.size()));
        into += cell.size();
    }
    rows_.append(row);
}

QList<QTreeWidgetItem*> ListedRows::makeRows() const {
    QList<QTreeWidgetItem*> items;
    items.reserve(rows_.size());
    for (const Row& row : rows_) {
        items.append(new ListedRow(cells_, row, history_));
    }
    return items;
}

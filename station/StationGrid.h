#pragma once
// One grid of the scanning window in the system's row numbers: row 0 is
// the caption row, data rows start at 1, and systemRowCount() counts the
// caption row too. These calls have names of their own, so that they are
// never taken for Qt's 0-based rowCount()/removeRow() of the model.
// Behind it sits an ordinary Qt table model whose row r is the
// system's row r + 1 and whose captions are the horizontal header; every
// other piece of the station, and every test, speaks the system's numbers.
//
// Styling costs nothing per cell: cells carry no font or flag of their own.
// Fonts and row heights are set once on the view, and flags() answers from
// one rule (data cells read-only, except the one quantity cell a
// double-click unlocked), so adding line 500 costs what adding line 5 does.
#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <QVector>

// The columns of the detail grid (出库明细): one staged line per row.
namespace detailcolumn {
enum : int {
    LineNumber,
    InventoryCode,
    InventoryName,
    SizeAndModel,
    Unit,
    Quantity,
    BinCode,
    Collector,
    Department,
    Device,
    Time,
    Count
};
} // namespace detailcolumn

// The columns of the stock grid (库存明细): one item found by a search.
namespace stockcolumn {
enum : int { LineNumber, InventoryCode, InventoryName, SizeAndModel, Unit, StockOnHand, BinCode, BinName, Count };
} // namespace stockcolumn

class StationGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StationGrid(QObject* parent = nullptr);

    // Removes every column and row, then sets the captions (column 0
    // first) and their widths in pixels.
    void setColumns(const QStringList& captions, const QVector<int>& widths);
    QVector<int> columnWidths() const { return m_widths; }
    int columnCount() const { return int(m_captions.size()); }

    // Rows including the caption row: 1 for an empty grid.
    int systemRowCount() const { return int(m_rows.size()) + 1; }
    int dataRowCount() const { return int(m_rows.size()); }

    // Cell text; row 0 gives the captions. "" outside the grid.
    QString text(int row, int column) const;
    // Writes a data cell (row ≥ 1); ignored outside the grid.
    void setText(int row, int column, const QString& value);
    // A whole data row, columns 0…n-1.
    QStringList rowTexts(int row) const;

    // Inserts an empty row before row 1: it becomes row 1.
    void insertTopRow();
    // Adds an empty row at the bottom and returns its number.
    int appendRow();
    // Inserts many rows before row 1 at once, the first of them on top.
    void insertTopRows(const QVector<QStringList>& rows);
    // Appends many rows at once, in order.
    void appendRows(const QVector<QStringList>& rows);
    // Deletes data row `row`; rows below move up. False outside the data rows.
    bool removeSystemRow(int row);
    // Deletes every data row; the columns stay.
    void clearRows();

    // Keeps an index of the texts in `column` (-1: none), so that
    // rowsWith() finds a text's rows without reading every row.
    void setKeyColumn(int column);
    // The data rows whose key-column text is `key`, top to bottom (none
    // without a key column).
    QVector<int> rowsWith(const QString& key) const;

    // The grid styling: every data cell read-only again.
    void lockAll();
    // Lifts the read-only state of one data cell.
    void unlock(int row, int column);
    bool isEditable(int row, int column) const;

    // The system row of a Qt model index, and back.
    static int systemRow(const QModelIndex& index) { return index.row() + 1; }
    QModelIndex indexOf(int row, int column) const { return index(row - 1, column); }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // The user finished editing a cell (its new text is already in it);
    // oldText is what it held before.
    void cellEdited(const QPersistentModelIndex& index, const QString& oldText);

private:
    void indexRow(qint64 serial, const QString& key);
    void unindexRow(qint64 serial, const QString& key);
    void rebuildIndex();

    QStringList m_captions;
    QVector<int> m_widths;
    // The data rows top to bottom, each with a serial number: rows put on
    // top get ever larger serials and appended rows ever smaller ones, so
    // the serials fall from top to bottom and a row's place is found by
    // bisection. Every change of m_rows goes through the methods above,
    // which keep m_serials and the key index in step.
    QVector<QStringList> m_rows;
    QVector<qint64> m_serials;
    qint64 m_topSerial = 0;
    qint64 m_bottomSerial = 1;
    int m_keyColumn = -1;
    // Key text → serials of its rows, rising (bottom row first).
    QHash<QString, QVector<qint64>> m_keyRows;
    int m_unlockedRow = -1; // system row of the one editable cell, or -1
    int m_unlockedColumn = -1;
};

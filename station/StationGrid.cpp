#include "station/StationGrid.h"

#include <algorithm>
#include <functional>

StationGrid::StationGrid(QObject* parent) : QAbstractTableModel(parent)
{
}

void StationGrid::setColumns(const QStringList& captions, const QVector<int>& widths)
{
    beginResetModel();
    m_rows.clear();
    m_serials.clear();
    m_keyRows.clear();
    m_captions = captions;
    m_widths = widths;
    m_widths.resize(captions.size());
    if (m_keyColumn >= captions.size())
        m_keyColumn = -1;
    m_unlockedRow = m_unlockedColumn = -1;
    endResetModel();
}

QString StationGrid::text(int row, int column) const
{
    if (column < 0 || column >= m_captions.size())
        return {};
    if (row == 0)
        return m_captions[column];
    if (row < 1 || row > m_rows.size())
        return {};
    return m_rows[row - 1].value(column);
}

void StationGrid::setText(int row, int column, const QString& value)
{
    if (row < 1 || row > m_rows.size() || column < 0 || column >= m_captions.size())
        return;
    if (column == m_keyColumn && m_rows[row - 1][column] != value) {
        unindexRow(m_serials[row - 1], m_rows[row - 1][column]);
        indexRow(m_serials[row - 1], value);
    }
    m_rows[row - 1][column] = value;
    const QModelIndex i = indexOf(row, column);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}

QStringList StationGrid::rowTexts(int row) const
{
    if (row < 1 || row > m_rows.size())
        return {};
    return m_rows[row - 1];
}

void StationGrid::insertTopRow()
{
    insertTopRows({QStringList()});
}

int StationGrid::appendRow()
{
    appendRows({QStringList()});
    return systemRowCount() - 1;
}

void StationGrid::insertTopRows(const QVector<QStringList>& rows)
{
    if (rows.isEmpty())
        return;
    beginInsertRows({}, 0, int(rows.size()) - 1);
    // The list keeps free room in front of its rows, so a row put on top
    // moves none of the others.
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        QStringList r = *it;
        r.resize(m_captions.size());
        const qint64 serial = ++m_topSerial;
        if (m_keyColumn >= 0)
            indexRow(serial, r[m_keyColumn]);
        m_rows.prepend(std::move(r));
        m_serials.prepend(serial);
    }
    if (m_unlockedRow > 0)
        m_unlockedRow += int(rows.size());
    endInsertRows();
}

void StationGrid::appendRows(const QVector<QStringList>& rows)
{
    if (rows.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    for (QStringList r : rows) {
        r.resize(m_captions.size());
        const qint64 serial = --m_bottomSerial;
        if (m_keyColumn >= 0)
            indexRow(serial, r[m_keyColumn]);
        m_rows << r;
        m_serials << serial;
    }
    endInsertRows();
}

bool StationGrid::removeSystemRow(int row)
{
    if (row < 1 || row > m_rows.size())
        return false;
    beginRemoveRows({}, row - 1, row - 1);
    if (m_keyColumn >= 0)
        unindexRow(m_serials[row - 1], m_rows[row - 1][m_keyColumn]);
    m_rows.removeAt(row - 1);
    m_serials.removeAt(row - 1);
    if (m_unlockedRow == row)
        m_unlockedRow = m_unlockedColumn = -1;
    else if (m_unlockedRow > row)
        --m_unlockedRow;
    endRemoveRows();
    return true;
}

void StationGrid::clearRows()
{
    if (m_rows.isEmpty())
        return;
    beginRemoveRows({}, 0, int(m_rows.size()) - 1);
    m_rows.clear();
    m_serials.clear();
    m_keyRows.clear();
    m_unlockedRow = m_unlockedColumn = -1;
    endRemoveRows();
}

void StationGrid::setKeyColumn(int column)
{
    m_keyColumn = column >= 0 && column < m_captions.size() ? column : -1;
    rebuildIndex();
}

QVector<int> StationGrid::rowsWith(const QString& key) const
{
    QVector<int> rows;
    const auto found = m_keyRows.constFind(key);
    if (found == m_keyRows.cend())
        return rows;
    rows.reserve(found->size());
    for (auto it = found->crbegin(); it != found->crend(); ++it) {
        const auto at = std::lower_bound(m_serials.cbegin(), m_serials.cend(), *it, std::greater<>());
        rows << int(at - m_serials.cbegin()) + 1;
    }
    return rows;
}

void StationGrid::indexRow(qint64 serial, const QString& key)
{
    QVector<qint64>& serials = m_keyRows[key];
    serials.insert(std::lower_bound(serials.begin(), serials.end(), serial), serial);
}

void StationGrid::unindexRow(qint64 serial, const QString& key)
{
    const auto found = m_keyRows.find(key);
    if (found == m_keyRows.end())
        return;
    const auto at = std::lower_bound(found->begin(), found->end(), serial);
    if (at != found->end() && *at == serial)
        found->erase(at);
    if (found->isEmpty())
        m_keyRows.erase(found);
}

void StationGrid::rebuildIndex()
{
    m_keyRows.clear();
    if (m_keyColumn < 0)
        return;
    for (int i = int(m_rows.size()) - 1; i >= 0; --i)
        m_keyRows[m_rows[i][m_keyColumn]] << m_serials[i];
}

void StationGrid::lockAll()
{
    m_unlockedRow = m_unlockedColumn = -1;
}

void StationGrid::unlock(int row, int column)
{
    if (row < 1 || row > m_rows.size() || column < 1 || column >= m_captions.size())
        return;
    m_unlockedRow = row;
    m_unlockedColumn = column;
}

bool StationGrid::isEditable(int row, int column) const
{
    return row >= 1 && row == m_unlockedRow && column == m_unlockedColumn;
}

int StationGrid::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int StationGrid::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant StationGrid::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return text(systemRow(index), index.column());
}

QVariant StationGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return text(0, section);
    return section + 1;
}

Qt::ItemFlags StationGrid::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditable(systemRow(index), index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool StationGrid::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !isEditable(systemRow(index), index.column()))
        return false;
    const int row = systemRow(index);
    const QString old = text(row, index.column());
    setText(row, index.column(), value.toString());
    emit cellEdited(QPersistentModelIndex(index), old);
    return true;
}

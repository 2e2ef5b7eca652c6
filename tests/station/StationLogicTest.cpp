// The station's small rules on their own: the search pattern and keyword
// length, which quantity texts the ERP can take, and the grid adapter's
// row numbers.
#include "station/ScanStation.h"
#include "station/StationGrid.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

TEST(StockSearch, PatternAndKeywordLength)
{
    struct Case {
        const char* keyword;
        const char* pattern;
        bool longEnough;
    };
    const Case cases[] = {
        {"螺栓 M8", "螺栓%M8", true}, {" 螺栓 ", "%螺栓%", true}, // blanks become % before the trim
        {"　螺栓　", "螺栓", true}, // ideographic spaces are trimmed
        {"a b", "a%b", true},         {"ab", "ab", false}, // two ASCII bytes
        {"螺", "螺", false}, // one Chinese character: two GBK bytes
        {"3' 液压", "3'%液压", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScanStation::searchPattern(s(c.keyword)), s(c.pattern)) << c.keyword;
        EXPECT_EQ(ScanStation::keywordLongEnough(s(c.keyword)), c.longEnough) << c.keyword;
    }
}

TEST(GridEditing, QuantitiesTheErpCanTake)
{
    for (const char* good :
         {"1", "5", "12.5", "0.01", " 3 ", "1234567890123456", "+2", ".5", "1.50", "9999999999999999.99"})
        EXPECT_TRUE(ScanStation::isValidQuantity(s(good))) << good;
    // More than two decimals would be changed by the staging table.
    for (const char* bad : {"", "0", "0.000", "-1", "abc", "1e3", "1,5", "12345678901234567", "inf", "nan", "0x10",
                            "1;delete from ckmx", "1--", "1.125", "0.005", "１２"})
        EXPECT_FALSE(ScanStation::isValidQuantity(s(bad))) << bad;
}

TEST(StationGrid, SpeaksTheSystemsRowNumbers)
{
    StationGrid g;
    g.setColumns({u"行号"_s, u"存货编码"_s, u"数量"_s}, {60, 150, 60});
    EXPECT_EQ(g.systemRowCount(), 1); // the caption row
    EXPECT_EQ(g.text(0, 1), s("存货编码"));
    g.insertTopRows({{u"1"_s, u"A"_s, u"1"_s}});
    g.insertTopRow(); // a new row goes before row 1
    g.setText(1, 1, u"B"_s);
    EXPECT_EQ(g.systemRowCount(), 3);
    EXPECT_EQ(g.text(1, 1), s("B"));
    EXPECT_EQ(g.text(2, 1), s("A"));
    EXPECT_EQ(g.rowCount(QModelIndex()), 2); // Qt's rows: data only
    EXPECT_EQ(g.data(g.index(1, 1), Qt::DisplayRole).toString(), s("A"));
    EXPECT_EQ(StationGrid::systemRow(g.index(1, 1)), 2);
    EXPECT_EQ(g.text(3, 1), QString()); // outside: empty, no crash
    g.setText(0, 1, u"x"_s); // the caption row is not data
    EXPECT_EQ(g.text(0, 1), s("存货编码"));
    EXPECT_FALSE(g.removeSystemRow(0));
    EXPECT_FALSE(g.removeSystemRow(3));
}

TEST(StationGrid, RowsPutOnTopKeepTheirOrder)
{
    StationGrid g;
    g.setColumns({u"行号"_s, u"存货编码"_s}, {60, 150});
    g.appendRows({{u"b1"_s}, {u"b2"_s}});
    for (int i = 1; i <= 600; ++i)
        g.insertTopRows({{QString::number(i), u"A"_s}});
    g.insertTopRows({{u"t1"_s}, {u"t2"_s}}); // a batch: its first row on top
    g.appendRows({{u"b3"_s}});
    ASSERT_EQ(g.dataRowCount(), 605);
    EXPECT_EQ(g.rowTexts(1), QStringList({u"t1"_s, u""_s})); // short rows get every column
    EXPECT_EQ(g.text(2, 0), s("t2"));
    EXPECT_EQ(g.text(3, 0), s("600"));
    EXPECT_EQ(g.text(602, 0), s("1"));
    EXPECT_EQ(g.text(605, 0), s("b3"));
    EXPECT_TRUE(g.removeSystemRow(3));
    EXPECT_EQ(g.text(3, 0), s("599"));
    EXPECT_EQ(g.data(g.index(601, 0), Qt::DisplayRole).toString(), s("b1"));
    g.insertTopRow();
    EXPECT_EQ(g.text(1, 0), QString());
    EXPECT_EQ(g.text(2, 0), s("t1"));
}

TEST(StationGrid, KeyIndexFollowsEveryChange)
{
    StationGrid g;
    g.setColumns({u"行号"_s, u"存货编码"_s, u"数量"_s}, {60, 150, 60});
    g.appendRows({{u"0"_s, u"A"_s}, {u"0"_s, u"B"_s}}); // rows before the index is set are indexed too
    g.setKeyColumn(1);
    const QStringList keys{u"A"_s, u"B"_s, u"C"_s, u""_s};
    const auto check = [&](int step) {
        for (const QString& key : keys) {
            QVector<int> walked;
            for (int row = 1; row < g.systemRowCount(); ++row) {
                if (g.text(row, 1) == key)
                    walked << row;
            }
            ASSERT_EQ(g.rowsWith(key), walked) << "step " << step << " key " << key.toStdString();
        }
    };
    // A fixed mix of every change the grid knows, checked against reading
    // every row after each one.
    quint32 seed = 7;
    const auto next = [&seed](quint32 n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int step = 0; step < 400; ++step) {
        const QString key = keys[int(next(3))];
        switch (next(6)) {
        case 0:
        case 1:
            g.insertTopRows({{QString::number(step), key}});
            break;
        case 2:
            g.appendRows({{QString::number(step), key}, {QString::number(step), keys[int(next(3))]}});
            break;
        case 3:
            g.removeSystemRow(1 + int(next(quint32(g.dataRowCount() + 1))));
            break;
        case 4:
            g.setText(1 + int(next(quint32(g.dataRowCount() + 1))), 1, key);
            break;
        default:
            g.setText(1 + int(next(quint32(g.dataRowCount() + 1))), 2, key);
            break;
        }
        check(step);
        if (step == 300) {
            g.clearRows();
            check(step);
        }
    }
    g.setColumns({u"行号"_s}, {60}); // the key column is gone with its columns
    g.appendRows({{u"1"_s}});
    EXPECT_TRUE(g.rowsWith(u""_s).isEmpty());
}

TEST(StationGrid, OneUnlockedCellFollowsItsRow)
{
    StationGrid g;
    g.setColumns({u"行号"_s, u"存货编码"_s, u"数量"_s}, {60, 150, 60});
    g.appendRows({{u"1"_s, u"A"_s, u"1"_s}, {u"2"_s, u"B"_s, u"1"_s}});
    EXPECT_FALSE(g.flags(g.indexOf(2, 2)).testFlag(Qt::ItemIsEditable));
    g.unlock(2, 2);
    EXPECT_TRUE(g.flags(g.indexOf(2, 2)).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(g.flags(g.indexOf(1, 2)).testFlag(Qt::ItemIsEditable));
    // A line added on top moves the unlocked cell down with its row.
    g.insertTopRow();
    EXPECT_TRUE(g.isEditable(3, 2));
    QSignalSpy edited(&g, &StationGrid::cellEdited);
    EXPECT_FALSE(g.setData(g.indexOf(1, 2), u"9"_s, Qt::EditRole)); // locked
    EXPECT_TRUE(g.setData(g.indexOf(3, 2), u"7"_s, Qt::EditRole));
    ASSERT_EQ(edited.size(), 1);
    EXPECT_EQ(edited[0][1].toString(), s("1")); // the old quantity
    EXPECT_EQ(g.text(3, 2), s("7"));
    // Removing a row above keeps it; the styling locks it again.
    g.removeSystemRow(1);
    EXPECT_TRUE(g.isEditable(2, 2));
    g.lockAll();
    EXPECT_FALSE(g.isEditable(2, 2));
}

} // namespace

#include "tools/demo-erp/LargeAccountSet.h"

#include "tools/demo-erp/SqliteStatement.h"

#include <QDate>
#include <QStringList>
#include <QVector>

#include <iterator>

namespace {

QString pick(const QStringList& list, int i)
{
    return list.at(i % list.size());
}

const QStringList kSurnames =
    QStringLiteral("张 王 李 赵 刘 陈 杨 黄 周 吴 徐 孙 马 朱 胡 郭 何 高 林 罗 郑 梁 谢 宋 唐 许 韩 冯 邓 曹")
        .split(u' ');
const QStringList kGiven = QStringLiteral("伟 芳 敏 静 强 磊 军 洋 勇 艳 杰 涛 明 超 秀 兰 霞 平 刚 桂 华 国 建 文 海 "
                                          "春 红 玉 晨 宇 浩 婷 雪 鹏 飞 琳 斌 丽 欣 凯")
                               .split(u' ');
const QStringList kLines = QStringLiteral("装配一线 装配二线 注塑一线 注塑二线 包装一线 机加线").split(u' ');
// Departments other than 生产课 (03), which gets every fourth person.
const QStringList kOtherDepartments = QStringLiteral("01 02 04 05 06 07").split(u' ');
const QStringList kMachines =
    QStringLiteral("注塑机 冲压机 数控车 空压机 加工中心 贴标机 焊接机器人 包装机").split(u' ');

// Item families: name choices, model pattern, unit code.
struct Family {
    QStringList names;
    const char* model; // %1 = running number within the family
    const char* unit;
};
const Family kFamilies[] = {
    {QStringLiteral("六角螺栓 内六角螺钉 平垫圈").split(u' '), "M%1", "01"},
    {QStringLiteral("深沟球轴承 圆锥滚子轴承").split(u' '), "62%1-2RS", "01"},
    {QStringLiteral("护套线 电源线 网线").split(u' '), "RVV %1芯", "03"},
    {QStringLiteral("润滑脂 螺纹胶 清洗剂").split(u' '), "%1ml", "07"},
    {QStringLiteral("快插接头 气管 电磁阀").split(u' '), "PC%1", "02"},
    {QStringLiteral("劳保手套 防护口罩 降噪耳塞").split(u' '), "%1只/盒", "08"},
    {QStringLiteral("交流接触器 中间继电器 空气开关").split(u' '), "LC1D%1", "01"},
    {QStringLiteral("瓦楞纸箱 缠绕薄膜 封箱胶带").split(u' '), "%1*200", "09"},
};

struct Position {
    QString code;
    QString name;
    QString warehouse;
};

} // namespace

int LargeAccountSet::count(const char* sql) const
{
    SqliteStatement query(m_db, sql);
    return query.next() ? int(query.integer(0)) : -1;
}

bool LargeAccountSet::topUp(QString* error)
{
    struct Step {
        const char* table;
        const char* countSql;
        int target;
        bool (LargeAccountSet::*add)(int, int);
    };
    const Step steps[] = {
        {"hr_hi_person", "SELECT count(*) FROM hr_hi_person", m_people, &LargeAccountSet::addPeople},
        {"U8CUSTDEF_0001_E001", "SELECT count(*) FROM U8CUSTDEF_0001_E001", m_devices, &LargeAccountSet::addDevices},
        {"inventory", "SELECT count(*) FROM inventory", m_items, &LargeAccountSet::addInventory},
    };
    for (const Step& step : steps) {
        const int have = count(step.countSql);
        if (have < 0 || (have < step.target && !(this->*step.add)(1, step.target - have))) {
            if (error)
                *error = QStringLiteral("cannot fill %1: %2")
                             .arg(QLatin1String(step.table), QString::fromUtf8(sqlite3_errmsg(m_db)));
            return false;
        }
    }
    return true;
}

bool LargeAccountSet::addPeople(int from, int to)
{
    SqliteStatement insert(m_db,
                           "INSERT INTO hr_hi_person (cPsn_Num, cPsn_Name, cPsn_NameEN, cDept_num, JobNumber, "
                           "dEnterDate) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    const QDate first(2010, 1, 4);
    for (int i = from; i <= to; ++i) {
        const bool production = i % 4 == 0;
        QString name = pick(kSurnames, i) + pick(kGiven, i * 7);
        if (i % 3)
            name += pick(kGiven, i * 13 + 5);
        insert.bind(1, QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')))
            .bind(2, name)
            .bind(3, production ? pick(kLines, i / 4) : QString())
            .bind(4, production ? QStringLiteral("03") : pick(kOtherDepartments, i))
            .bind(5, i % 50 == 0 ? QString() : QString::number(20000 + i)) // a few have no job number yet
            .bind(6, first.addDays((i * 37) % 4000).toString(Qt::ISODate));
        if (!insert.run())
            return false;
    }
    return true;
}

bool LargeAccountSet::addDevices(int from, int to)
{
    SqliteStatement insert(m_db, "INSERT INTO U8CUSTDEF_0001_E001 (ID, cNo, cCardName, cx) VALUES (?1, ?2, ?3, ?4)");
    for (int i = from; i <= to; ++i) {
        insert.bind(1, qint64(1000 + i))
            .bind(2, QStringLiteral("LD%1").arg(i, 4, 10, QLatin1Char('0')))
            .bind(3, pick(kMachines, i) + QString::number(1 + i / kMachines.size()) + QStringLiteral("号"))
            .bind(4, pick(kLines, i / 3));
        if (!insert.run())
            return false;
    }
    return true;
}

bool LargeAccountSet::addInventory(int from, int to)
{
    QVector<Position> positions;
    SqliteStatement read(m_db, "SELECT cPosCode, cPosName, cWhCode FROM Position ORDER BY cPosCode");
    while (read.next())
        positions.append({read.text(0), read.text(1), read.text(2)});
    if (positions.isEmpty())
        return false;

    SqliteStatement item(m_db,
                         "INSERT INTO inventory (cInvCode, cInvName, cInvStd, cComUnitCode, cPosition, "
                         "cInvDefine3, dSDate, dEDate) VALUES (?1, ?2, ?3, ?4, ?5, ?6, '2018-01-01', ?7)");
    SqliteStatement stock(m_db,
                          "INSERT INTO CurrentStock (cWhCode, cInvCode, cBatch, iQuantity) VALUES (?1, ?2, ?3, ?4)");
    const int familyCount = int(std::size(kFamilies));
    for (int i = from; i <= to; ++i) {
        const Family& family = kFamilies[i % familyCount];
        const int k = i / familyCount;
        const QString code = QStringLiteral("L%1").arg(i, 6, 10, QLatin1Char('0'));
        const bool placed = i % 11 != 0; // every 11th item has no default position
        const Position& position = positions.at((i * 7) % positions.size());
        item.bind(1, code)
            .bind(2, pick(family.names, k))
            .bind(3, QString::fromUtf8(family.model).arg(k % 97 + 1))
            .bind(4, QString::fromLatin1(family.unit))
            .bind(5, placed ? position.code : QString())
            .bind(6, placed ? position.name : QString())
            .bind(7, i % 23 == 0 ? QStringLiteral("2020-12-31 00:00:00") : QString()); // end-dated
        if (!item.run())
            return false;

        if (i % 9 == 0) // no stock at all
            continue;
        const QString warehouse = placed ? position.warehouse : QStringLiteral("01");
        const bool metres = qstrcmp(family.unit, "03") == 0;
        for (int batch = 1; batch <= 1 + i % 3; ++batch) {
            const int quantity = (i * 37 + batch * 53) % 250; // some batches are 0
            stock.bind(1, warehouse)
                .bind(2, code)
                .bind(3, QStringLiteral("2105%1").arg(batch, 2, 10, QLatin1Char('0')))
                .bind(4, metres ? quantity + 0.5 : double(quantity));
            if (!stock.run())
                return false;
        }
    }
    return true;
}

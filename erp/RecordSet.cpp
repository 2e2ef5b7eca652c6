#include "erp/RecordSet.h"

#include "erp/ErpConnection.h"
#include "erp/SqlText.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>
#ifdef _WIN32
#include <windows.h>
#endif
#include <sqlext.h>

namespace {

using FieldKind = RecordSet::FieldKind;

// Kind of a column from its ODBC SQL type.
FieldKind kindOfOdbcType(int sqlType)
{
    switch (sqlType) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return FieldKind::Integer;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
        return FieldKind::Number;
    case SQL_DATE:
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
        return FieldKind::DateTime;
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        return FieldKind::Text;
    default:
        return FieldKind::Other;
    }
}

// Kind of a column of the embedded engine from the type its table declares.
FieldKind kindOfDeclaredType(const QString& declared)
{
    const QString t = declared.toLower();
    if (t.contains(QLatin1String("int")))
        return FieldKind::Integer;
    if (t.startsWith(QLatin1String("decimal")) || t.startsWith(QLatin1String("numeric"))
        || t.contains(QLatin1String("money")) || t.startsWith(QLatin1String("float"))
        || t.startsWith(QLatin1String("real")) || t.startsWith(QLatin1String("double")))
        return FieldKind::Number;
    if (t.startsWith(QLatin1String("date")) || t.contains(QLatin1String("time")))
        return FieldKind::DateTime;
    if (t.contains(QLatin1String("char")) || t.contains(QLatin1String("text")) || t.contains(QLatin1String("clob")))
        return FieldKind::Text;
    return FieldKind::Other;
}

// Kind of a computed column (count(*), max(x)+1 …) from the values it holds.
FieldKind kindOfValues(const QVector<QVector<QVariant>>& rows, int column)
{
    for (const auto& row : rows) {
        const QVariant& v = row[column];
        if (v.isNull())
            continue;
        switch (v.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
            return FieldKind::Integer;
        case QMetaType::Double:
            return FieldKind::Number;
        default:
            return FieldKind::Text;
        }
    }
    return FieldKind::Other;
}

QString declaredType(const QSqlQuery& q, int column)
{
    const QVariant handle = q.result()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return {};
    auto* stmt = *static_cast<sqlite3_stmt* const*>(handle.constData());
    if (!stmt)
        return {};
    const char* type = sqlite3_column_decltype(stmt, column);
    return type ? QString::fromUtf8(type) : QString();
}

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace

RecordSet::RecordSet(QString name) : m_name(std::move(name))
{
}

void RecordSet::bind(ErpConnection* connection)
{
    close();
    m_connection = connection;
}

bool RecordSet::open(const QString& sql, Decimals decimals)
{
    close();
    m_lastError.clear();
    m_lastCode.clear();
    m_rowsAffected = -1;
    if (!m_connection || !m_connection->isOpen()) {
        m_lastError = QStringLiteral("the connection is not open");
        return false;
    }
    QString text;
    if (!m_connection->prepare(sql, text)) {
        m_lastError = m_connection->lastError();
        return false;
    }
    m_connection->countRoundTrip();
    QSqlQuery q(m_connection->database());
    q.setForwardOnly(true);
    // High precision hands decimal columns over as the driver's text (ODBC);
    // the embedded engine gives its numbers as they are stored either way.
    q.setNumericalPrecisionPolicy(decimals == Decimals::Exact ? QSql::HighPrecision : QSql::LowPrecisionDouble);
    if (!q.exec(text)) {
        m_lastError = q.lastError().text();
        m_lastCode = m_connection->errorCodeOf(q);
        return false;
    }
    if (!q.isSelect()) {
        m_rowsAffected = q.numRowsAffected();
        return true;
    }

    const QSqlRecord record = q.record();
    const bool embedded = m_connection->isEmbedded();
    QVector<QString> declared;
    for (int i = 0; i < record.count(); ++i) {
        Field f;
        // Some drivers hand back a non-ASCII name followed by NULs and
        // garbage: the name ends at the first NUL.
        f.name = record.fieldName(i);
        const qsizetype nul = f.name.indexOf(QChar(0));
        if (nul >= 0)
            f.name.truncate(nul);
        if (!embedded)
            f.kind = kindOfOdbcType(record.field(i).typeID());
        declared << (embedded && m_connection->declaredTypesReadable() ? declaredType(q, i) : QString());
        m_fields << f;
    }
    while (q.next()) {
        QVector<QVariant> row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row << q.value(i);
        m_rows << row;
    }
    if (q.lastError().type() != QSqlError::NoError) {
        m_lastError = q.lastError().text();
        m_lastCode = m_connection->errorCodeOf(q);
        m_fields.clear();
        m_rows.clear();
        return false;
    }
    for (int i = 0; i < m_fields.size(); ++i) {
        Field& f = m_fields[i];
        if (embedded)
            f.kind = declared[i].isEmpty() ? kindOfValues(m_rows, i) : kindOfDeclaredType(declared[i]);
        // Computed columns of the embedded engine have no declared type; over
        // ODBC an SQLite driver does not tell them apart from columns.
        f.integerIsNumber = m_connection->isSqlite() && (!embedded || declared[i].isEmpty());
    }
    m_open = true;
    m_position = 0;
    return true;
}

bool RecordSet::moveFirst()
{
    if (!m_open || m_rows.isEmpty())
        return false;
    m_position = 0;
    return true;
}

bool RecordSet::moveNext()
{
    if (atEnd())
        return false;
    ++m_position;
    return true;
}

int RecordSet::recordCount() const
{
    return m_open ? int(m_rows.size()) : 0;
}

void RecordSet::close()
{
    m_fields.clear();
    m_rows.clear();
    m_position = -1;
    m_open = false;
}

QString RecordSet::fieldName(int column) const
{
    return column >= 0 && column < m_fields.size() ? m_fields[column].name : QString();
}

RecordSet::FieldKind RecordSet::fieldKind(int column) const
{
    return column >= 0 && column < m_fields.size() ? m_fields[column].kind : FieldKind::Other;
}

int RecordSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const QVariant* RecordSet::cell(int column) const
{
    if (!m_open) {
        m_lastError = QStringLiteral("no result is open");
        return nullptr;
    }
    if (atEnd()) {
        m_lastError = QStringLiteral("no current row");
        return nullptr;
    }
    if (column < 0 || column >= m_fields.size()) {
        m_lastError = QStringLiteral("no such field");
        return nullptr;
    }
    return &m_rows[m_position][column];
}

bool RecordSet::readText(const QString& field, QString& out) const
{
    return readText(fieldIndex(field), out);
}

bool RecordSet::readText(int column, QString& out) const
{
    const QVariant* v = cell(column);
    if (!v)
        return false;
    if (v->isNull()) {
        out.clear();
        return true;
    }
    switch (v->typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        out = numberText(v->toDouble());
        break;
    case QMetaType::QDateTime:
        out = v->toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        break;
    case QMetaType::QDate:
        out = v->toDate().toString(QStringLiteral("yyyy-MM-dd"));
        break;
    case QMetaType::Bool:
        out = v->toBool() ? QStringLiteral("1") : QStringLiteral("0");
        break;
    default:
        out = v->toString();
    }
    return true;
}

bool RecordSet::readNumber(const QString& field, double& out) const
{
    const int column = fieldIndex(field);
    const QVariant* v = cell(column);
    if (!v)
        return false;
    const FieldKind kind = m_fields[column].kind;
    if (!(kind == FieldKind::Number || (kind == FieldKind::Integer && m_fields[column].integerIsNumber))
        || v->isNull()) {
        m_lastError = QStringLiteral("not a number field");
        return false;
    }
    bool ok = false;
    const double d = v->toDouble(&ok);
    if (!ok)
        return false;
    out = d;
    return true;
}

bool RecordSet::readDecimal(const QString& field, int decimals, QString& out) const
{
    const int column = fieldIndex(field);
    const QVariant* v = cell(column);
    if (!v)
        return false;
    const FieldKind kind = m_fields[column].kind;
    if (!(kind == FieldKind::Number || kind == FieldKind::Integer) || v->isNull()) {
        m_lastError = QStringLiteral("not a number field");
        return false;
    }
    QString text;
    switch (v->typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        text = v->toString();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        // A number the engine keeps as a double (the embedded engine's
        // REAL): written with the column's decimals, which gives back the
        // decimal it was stored from.
        text = QString::number(v->toDouble(), 'f', decimals);
        break;
    default:
        text = v->toString();
    }
    const QString exact = sqltext::decimalText(text, decimals);
    if (exact.isEmpty()) {
        m_lastError = QStringLiteral("not a decimal: ") + text;
        return false;
    }
    out = exact;
    return true;
}

bool RecordSet::readInteger(const QString& field, qint64& out) const
{
    const int column = fieldIndex(field);
    const QVariant* v = cell(column);
    if (!v)
        return false;
    if (m_fields[column].kind != FieldKind::Integer || v->isNull()) {
        m_lastError = QStringLiteral("not an integer field");
        return false;
    }
    bool ok = false;
    const qint64 n = v->toLongLong(&ok);
    if (!ok)
        return false;
    out = n;
    return true;
}

bool RecordSet::readDateTime(const QString& field, QDateTime& out) const
{
    const int column = fieldIndex(field);
    const QVariant* v = cell(column);
    if (!v)
        return false;
    if (m_fields[column].kind != FieldKind::DateTime || v->isNull()) {
        m_lastError = QStringLiteral("not a date-time field");
        return false;
    }
    QDateTime moment;
    if (v->typeId() == QMetaType::QDateTime)
        moment = v->toDateTime();
    else if (v->typeId() == QMetaType::QDate)
        moment = v->toDate().startOfDay();
    else {
        // The embedded engine keeps date-times as texts.
        const QString text = v->toString().trimmed();
        for (const char* format : {"yyyy-MM-dd hh:mm:ss", "yyyy-MM-dd hh:mm:ss.zzz", "yyyy-MM-ddThh:mm:ss",
                                   "yyyy-MM-dd hh:mm", "yyyy-MM-dd"}) {
            moment = QDateTime::fromString(text, QLatin1String(format));
            if (moment.isValid())
                break;
        }
    }
    if (!moment.isValid())
        return false;
    out = moment;
    return true;
}

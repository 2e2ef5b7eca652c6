#pragma once
// One prepared SQLite statement, run as often as needed with new values.
#include <QByteArray>
#include <QString>

#include <sqlite3.h>

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~SqliteStatement() { sqlite3_finalize(m_stmt); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }

    // Values for the parameters ?1, ?2, … of the next run; a null QString
    // binds NULL.
    SqliteStatement& bind(int index, const QString& text)
    {
        if (text.isNull()) {
            sqlite3_bind_null(m_stmt, index);
        } else {
            const QByteArray utf8 = text.toUtf8();
            sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        return *this;
    }
    SqliteStatement& bind(int index, qint64 value)
    {
        sqlite3_bind_int64(m_stmt, index, value);
        return *this;
    }
    SqliteStatement& bind(int index, double value)
    {
        sqlite3_bind_double(m_stmt, index, value);
        return *this;
    }

    // Runs the statement to its end and makes it ready for the next run.
    bool run()
    {
        if (!m_stmt)
            return false;
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        return rc == SQLITE_DONE;
    }

    // Steps to the next row of a query; false at the end.
    bool next() { return m_stmt && sqlite3_step(m_stmt) == SQLITE_ROW; }
    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)));
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

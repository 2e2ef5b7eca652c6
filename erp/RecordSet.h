#pragma once
// One query cursor bound to the ERP connection. A record set holds one
// result at a time; opening a new statement closes the previous result.
// Every operation reports success as a bool: a database error never reaches
// the caller in any other form.
//
// A row-returning statement is read completely when it is opened (results
// here are small): the record count is then exact on every driver, the
// cursor can go back to the first row, and the engine's cursor is released
// at once so that the next statement on the connection never waits for it.
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>

class ErpConnection;

class RecordSet {
public:
    explicit RecordSet(QString name = {});

    void bind(ErpConnection* connection);
    ErpConnection* connection() const { return m_connection; }
    QString name() const { return m_name; }

    // How decimal columns come from the engine: as numbers (the reads
    // below, readText with at most 15 significant digits), or also as the
    // engine's own decimal text, for readDecimal to give exactly what a
    // decimal column holds (a double keeps only 15 or 16 digits).
    enum class Decimals { AsNumbers, Exact };

    // Runs the statement text. A row-returning statement leaves the record
    // set on its first row; any other statement is simply executed.
    bool open(const QString& sql, Decimals decimals = Decimals::AsNumbers);
    // False when the result has no rows.
    bool moveFirst();
    // Advances one row; false when there is no current row to leave.
    bool moveNext();
    // Rows of the current result; 0 without one.
    int recordCount() const;
    bool hasResult() const { return m_open; }
    bool atEnd() const { return !m_open || m_position >= m_rows.size(); }

    // The field of the current row as text (NULL reads as ""). False when no
    // result is open, the position is past the last row or there is no such
    // field. Field names are matched without regard to case.
    bool readText(const QString& field, QString& out) const;
    bool readText(int column, QString& out) const;
    // Numeric fields only (floating, decimal, numeric, money).
    bool readNumber(const QString& field, double& out) const;
    // Integer fields only (tiny, small, int, big).
    bool readInteger(const QString& field, qint64& out) const;
    // A numeric field as plain decimal text with at most `decimals`
    // decimals and no trailing zeros ("12.50" → "12.5", 40 → "40"), as
    // sqltext::decimalText writes it. Exact for a result opened with
    // Decimals::Exact: the engine's decimal text is taken as it is, never
    // through a double. False for NULL and non-numeric fields.
    bool readDecimal(const QString& field, int decimals, QString& out) const;
    // Date-time (and date) fields only.
    bool readDateTime(const QString& field, QDateTime& out) const;

    void close();

    // Rows the last statement that returns none changed (an update that
    // matched no row: 0); -1 after a row-returning statement or when the
    // driver cannot tell.
    int rowsAffected() const { return m_rowsAffected; }

    // Why the last operation failed, for the log or a test; "" after success.
    QString lastError() const { return m_lastError; }
    // The driver's error code(s) of the last failure (native number and/or
    // SQLSTATE), for failurecause.
    QString lastErrorCode() const { return m_lastCode; }

    enum class FieldKind { Text, Integer, Number, DateTime, Other };
    int fieldCount() const { return int(m_fields.size()); }
    QString fieldName(int column) const;
    FieldKind fieldKind(int column) const;

private:
    struct Field {
        QString name;
        FieldKind kind = FieldKind::Other;
        // SQLite gives sum() and max() over a decimal column as an integer
        // when the values are whole; such a field also reads as a number.
        bool integerIsNumber = false;
    };
    int fieldIndex(const QString& name) const;
    const QVariant* cell(int column) const;

    QString m_name;
    ErpConnection* m_connection = nullptr;
    QVector<Field> m_fields;
    QVector<QVector<QVariant>> m_rows;
    int m_position = -1;
    int m_rowsAffected = -1;
    bool m_open = false;
    mutable QString m_lastError;
    QString m_lastCode;
};

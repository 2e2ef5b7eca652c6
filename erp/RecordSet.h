#pragma once
// One query cursor bound to the ERP connection. A record set holds one
// result at a time; opening a new statement closes the previous result.
// Every operation reports success as a bool: a database error never reaches
// the caller in any other form.
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

    // Runs the statement text. A row-returning statement leaves the record
    // set on its first row, with the whole result taken so that the record
    // count is exact; any other statement is simply executed.
    bool open(const QString& sql);
    bool moveFirst();
    bool moveNext();
    int recordCount() const;
    bool hasResult() const;

    bool readText(const QString& field, QString& out) const;
    bool readText(int column, QString& out) const;
    // Numeric fields only (floating, decimal, numeric, money).
    bool readNumber(const QString& field, double& out) const;
    // Integer fields only (tiny, small, int, big).
    bool readInteger(const QString& field, qint64& out) const;
    bool readDateTime(const QString& field, QDateTime& out) const;

    void close();

    // Why the last operation failed, for the IT person; "" after success.
    QString lastError() const { return m_lastError; }

    enum class FieldKind { Text, Integer, Number, DateTime, Other };

private:
    struct Field {
        QString name;
        FieldKind kind = FieldKind::Other;
    };
    int fieldIndex(const QString& name) const;
    const QVariant* cell(int column) const;

    QString m_name;
    ErpConnection* m_connection = nullptr;
    QVector<Field> m_fields;
    QVector<QVector<QVariant>> m_rows;
    int m_position = -1;
    bool m_open = false;
    QString m_lastError;
};

#pragma once
// An INI file read and written the way the Windows profile functions do it,
// in GBK, so that set.ini files of earlier installations keep working:
// section and key names compare case-insensitively, the first matching
// section and key win, a missing file, section or key reads as "", a value
// is seen up to 10,239 bytes, and a write creates the file and section,
// replaces the key's line in place and keeps every other line.
#include <QList>
#include <QString>

#include <utility>

class ProfileFile {
public:
    explicit ProfileFile(QString path);

    QString path() const { return m_path; }

    QString read(const QString& section, const QString& key) const;

    enum class WriteStatus {
        Written,
        Unreadable, // the file is there but could not be read; left as it was
        Unwritable, // the new file could not be written; the old one stays
    };

    // Sets the keys of one section, in this order, and replaces the file
    // once, atomically: either every key is written or the file keeps its
    // earlier bytes. A new file is readable by its owner only.
    WriteStatus writeKeys(const QString& section, const QList<std::pair<QString, QString>>& entries) const;

    // One key; whether it was written.
    bool write(const QString& section, const QString& key, const QString& value) const;

    // What a read returns after value was written: its GBK form on one line,
    // without blanks around it, cut to 10,239 bytes. A value for which this
    // differs from the value does not survive a write unchanged.
    static QString readBack(const QString& value);

    static constexpr int kMaxValueBytes = 10239;

private:
    QString m_path;
};

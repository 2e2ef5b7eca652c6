#pragma once
// An INI file read and written the way the Windows profile functions do it,
// in GBK, so that set.ini files of earlier installations keep working:
// section and key names compare case-insensitively, the first matching
// section and key win, a missing file, section or key reads as "", a value
// is seen up to 10,239 bytes, and a write creates the file and section,
// replaces the key's line in place and keeps every other line.
#include <QString>

class ProfileFile {
public:
    explicit ProfileFile(QString path);

    QString path() const { return m_path; }

    QString read(const QString& section, const QString& key) const;

    // Returns whether the file was written; callers in this system do not
    // look at it. The file is replaced atomically, so a failed write leaves
    // the earlier file whole. A new file is readable by its owner only.
    bool write(const QString& section, const QString& key, const QString& value) const;

    static constexpr int kMaxValueBytes = 10239;

private:
    QString m_path;
};

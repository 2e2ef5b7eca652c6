#pragma once
// The program's settings: keys of set.ini in the data directory. The file
// is the only configuration the program has.
#include <QList>
#include <QString>

namespace settings {

// The stored value, or "" when the file, section or key is missing.
QString readKey(const QString& section, const QString& key);

// One key and the value to store under it.
struct Entry {
    QString key;
    QString value;
};

// Writes the keys of one section, in this order, in one replacement of the
// file. Nothing is written when a value would not read back exactly as
// given (characters GBK cannot hold, a line break, blanks at either end,
// more than 10,239 bytes), when an existing file cannot be read, or when
// the new file cannot be written; error then holds a message for the user
// that names the key or the file, and the file keeps its earlier bytes.
bool writeKeys(const QString& section, const QList<Entry>& entries, QString* error = nullptr);

// writeKeys for one key.
bool tryWriteKey(const QString& section, const QString& key, const QString& value, QString* error = nullptr);

// tryWriteKey without the message: whether the value was written.
bool writeKey(const QString& section, const QString& key, const QString& value);

// "" when value can be stored and read back unchanged; otherwise the message
// that refuses it, naming the field.
QString refusal(const QString& field, const QString& value);

// "" when GBK holds every character of text (the password, which is stored
// enciphered); otherwise the message that refuses it, naming the field.
QString gbkRefusal(const QString& field, const QString& text);

bool fileExists();

} // namespace settings

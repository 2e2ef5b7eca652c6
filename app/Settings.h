#pragma once
// The program's settings: keys of set.ini in the data directory. The file
// is the only configuration the program has.
#include <QString>

namespace settings {

// The stored value, or "" when the file, section or key is missing.
QString readKey(const QString& section, const QString& key);

// Creates the file or section when needed and replaces any earlier value.
void writeKey(const QString& section, const QString& key, const QString& value);

bool fileExists();

} // namespace settings

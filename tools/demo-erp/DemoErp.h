#pragma once
// The demo ERP: an embedded U8 ERP on SQLite for demonstrations and tests.
// A folder holds master.db (the server's database list), UFSystem.db (the
// identity counters) and UFDATA_001_2021.db (the one account set); the
// program reaches it with the server value "sqlite:<folder>".
#include <QString>

namespace demoerp {

// The account set the demo holds.
inline constexpr char16_t kAccountSet[] = u"UFDATA_001_2021";

// Builds the three databases in folder (created when missing) from the demo
// data script, replacing any earlier files of the same names; other files
// in the folder are left alone. The result is the same on every run. On
// failure nothing half-built is left behind and error says why.
bool build(const QString& folder, QString* error = nullptr);

} // namespace demoerp

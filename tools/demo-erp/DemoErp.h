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

// Sizes of the large account set.
inline constexpr int kLargeInventoryItems = 50000;
inline constexpr int kLargePeople = 5000;
inline constexpr int kLargeDevices = 500;

// Builds the same three databases as build(), with the account set topped
// up for benchmarks: kLargeInventoryItems inventory items in all (codes
// L000001 and up, with units, default positions mostly, end dates now and
// then, and one to three stock rows for most), kLargePeople people (person
// codes P00001 and up, job numbers from 20001, a few without) and
// kLargeDevices devices (LD0001 and up). Everything of the small demo is
// kept, so its codes work here too. Computed, not random: every run gives
// the same files; it takes a second or two.
bool buildLarge(const QString& folder, QString* error = nullptr);

} // namespace demoerp

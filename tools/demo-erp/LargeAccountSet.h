#pragma once
// Tops the demo account set up to the size of a large factory's ERP, for
// benchmarks: inventory items with units, positions and stock, people and
// devices, every value computed from its running number.
#include <QString>

struct sqlite3;

class LargeAccountSet {
public:
    LargeAccountSet(sqlite3* db, int inventoryItems, int people, int devices)
        : m_db(db)
        , m_items(inventoryItems)
        , m_people(people)
        , m_devices(devices)
    {
    }

    // Adds rows until each table holds its number of rows. Runs inside the
    // caller's transaction. On failure error says which table.
    bool topUp(QString* error);

private:
    int count(const char* sql) const;
    bool addPeople(int from, int to);
    bool addDevices(int from, int to);
    bool addInventory(int from, int to);

    sqlite3* m_db;
    int m_items;
    int m_people;
    int m_devices;
};

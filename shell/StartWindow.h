#pragma once
// 窗口_启动: the start window. It holds the voucher header choices, opens
// every other window, and owns the process-wide ERP connection and log.
#include "bookings/HeaderLists.h"
#include "bookings/StationHold.h"
#include "erp/ErpSession.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

class StartWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartWindow(QWidget* parent = nullptr);
    ~StartWindow() override;

    ErpSession& erp() { return m_erp; }
    // The hold on the account set's scanning station (one open scanning
    // window per account set).
    StationHold& stationHold() { return m_stationHold; }

    // The steps that run once the window exists, before the user works
    // with it: skin, settings check, connection, directories and log,
    // header lists.
    void onCreated();

private:
    void onSaveSettingsClicked();
    void onScannerSetupClicked();
    void onOnlineModeClicked();
    bool connectToErp();
    // Takes the station hold for the account set of the last connect. When
    // another program holds it, or it cannot be taken, tells the user why
    // and returns false.
    bool takeStationHold();
    void onConnectionClicked();
    void fillHeaderLists();
    // Fills list from the ERP and selects the saved value. Returns the saved
    // value the ERP no longer has, named with its field ("" when none).
    QString fillHeaderList(QComboBox* list, headerlists::Kind kind);

    ErpSession m_erp;
    StationHold m_stationHold;

    QGroupBox* m_group = nullptr;
    QComboBox* m_warehouse = nullptr;
    QComboBox* m_handler = nullptr;
    QComboBox* m_category = nullptr;
    QDateEdit* m_date = nullptr;
    QTimer* m_dateTimer = nullptr;
    QLabel* m_headerHint = nullptr;
    QPushButton* m_saveSettings = nullptr;
    QPushButton* m_scannerSetup = nullptr;
    QPushButton* m_onlineMode = nullptr;
    QPushButton* m_personLabels = nullptr;
    QPushButton* m_deviceLabels = nullptr;
    QPushButton* m_connection = nullptr;
};

#pragma once
// The scanner's configuration codes the set-up window shows: which button
// shows which command text, and the QR picture of a text.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

struct SetupCode {
    QString buttonName; // objectName of the button that shows it
    QString caption;
    QString commandText; // encoded exactly as written, no prefix or suffix
    std::uint32_t darkColour; // COLORREF 0x00BBGGRR
    QString purpose; // what scanning it sets, shown under the code
    bool dangerous = false; // framed in red and captioned as dangerous

    // The five command codes, in the order of the window's buttons.
    static const QList<SetupCode>& commands();
    // What the manual-mode and continuous-mode pictures set.
    static QString manualPurpose();
    static QString continuousPurpose();

    // The station's command barcodes (scanned at the counter instead of a
    // mouse click): objectName of the picture box, caption, text.
    struct Command {
        QString boxName;
        QString caption;
        QString text;
    };
    static QList<Command> stationCommands();

    // A 100 x 100 BMP of the text at level H, dark modules on white.
    static QByteArray picture(const QString& text, std::uint32_t darkColour);
};

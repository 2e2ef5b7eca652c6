#pragma once
// The nine printer keys of a label window's section in set.ini, stored
// exactly as typed in the window's boxes.
#include <QString>

struct LabelSettings {
    QString 纸张长; // paper width (box captioned "宽:")
    QString 纸张宽; // paper height (box captioned "高:")
    QString 二维码长; // drawn as the QR picture's height
    QString 二维码宽; // drawn as the QR picture's width
    QString 打印机;
    QString 边距上;
    QString 边距下;
    QString 边距左;
    QString 边距右;

    static LabelSettings load(const QString& section);

    // Each writes its keys in one replacement of set.ini, or nothing: a value
    // the file cannot hold unchanged, or a file that cannot be read or
    // written, leaves it as it was, and error says why.
    static bool savePaper(const QString& section, const QString& width, const QString& height,
                          QString* error = nullptr);
    static bool saveQrSize(const QString& section, const QString& long_, const QString& wide, QString* error = nullptr);
    static bool saveMargins(const QString& section, const QString& top, const QString& bottom, const QString& left,
                            const QString& right, QString* error = nullptr);
    static bool savePrinter(const QString& section, const QString& printer, QString* error = nullptr);
    static QString printer(const QString& section);
};

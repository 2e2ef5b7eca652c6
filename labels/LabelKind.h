#pragma once
// What tells a personnel label from a device label: where its settings
// live, how its rows are read from the ERP, what its QR code says and what
// the print job prints beside the code.
#include <QString>
#include <QStringList>

struct LabelKind {
    // Settings section of set.ini holding the nine printer keys.
    QString section;
    // The statement that lists the rows, sent word for word.
    QString query;
    // Fields read into grid columns 1, 2 and 3.
    QStringList fields;
    // Captions of grid columns 1 to 4.
    QStringList headers;
    // Letter in front of the code in the QR text.
    QString qrPrefix;
    QString jobName;
    // Whether the label carries the text of column 2 beside its code.
    bool printsName = false;

    static const LabelKind& person();
    static const LabelKind& device();
};

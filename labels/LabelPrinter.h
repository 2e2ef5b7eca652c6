#pragma once
// Printing labels: one print job per label, on the printer named in
// set.ini, addressed by its name so that the user's default printer is
// never touched. Sizes come from the window's boxes in whole millimetres;
// the jobs work in tenths of a millimetre.
#include "LabelKind.h"
#include "LabelSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;

struct LabelJob {
    QString code; // job number or device code
    QString name; // printed beside the code on personnel labels
};

class LabelPrinter {
public:
    // Where the jobs go. The program sends them to the installed printer of
    // the given name; tests send them to PDF files.
    struct Target {
        std::function<bool(const QString& printer)> isInstalled;
        // Points a fresh printer at its destination for the job-th label
        // (0-based) of a run.
        std::function<void(QPrinter& printer, const QString& printerName, int job)> direct;
    };
    static Target installedPrinters();
    // The printers the system has, in the order it lists them.
    static QStringList systemPrinterNames();

    explicit LabelPrinter(const LabelKind& kind);

    void setTarget(Target target) { m_target = std::move(target); }

    enum class Status {
        NoPrinter,           // no printer stored
        PrinterNotInstalled, // the stored printer is not among the installed ones
        Done,      // every job was tried
    };
    struct Outcome {
        Status status = Status::Done;
        int sent = 0;
        QStringList failedCodes; // codes whose job could not be started
    };

    // boxes: the window's current box texts (the printer name in it is not
    // used); printerName: the one stored in set.ini.
    Outcome print(const QString& printerName, const LabelSettings& boxes, const QList<LabelJob>& jobs) const;

    // A box value in tenths of a millimetre: digits × 10, an empty box 0.
    // Values beyond any label (above 100 m) are held at 100 m.
    static qint64 tenths(const QString& box);

    static const QString kNoPrinterMessage;
    static const QString kNoPrinterCaption; // also the caption of other errors
    static const QString kSentMessage;
    static const QString kSentCaption;
    // The closing message when some labels could not be sent.
    static QString failureMessage(const Outcome& outcome);

private:
    bool printOne(const QString& printerName, const LabelSettings& boxes, const LabelJob& job, int index) const;

    const LabelKind& m_kind;
    Target m_target;
};

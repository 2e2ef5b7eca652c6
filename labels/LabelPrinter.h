#pragma once
// Printing labels: one print job per label, on the printer named in
// set.ini, addressed by its name so that the user's default printer is
// never touched. The label's page has exactly the size in the boxes, and
// its QR code is drawn in whole dots of that printer (see LabelPage).
#include "labels/LabelKind.h"
#include "labels/LabelPage.h"
#include "labels/LabelQueue.h"
#include "labels/LabelSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class LabelPrinter {
public:
    // Where the jobs go. The program sends them to the installed printer of
    // the given name; tests put queues of their own in place.
    struct Target {
        std::function<bool(const QString& printer)> isInstalled;
        std::function<std::unique_ptr<LabelQueue>(const QString& printer)> open;
    };
    static Target installedPrinters();
    // The printers the system has, in the order it lists them.
    static QStringList systemPrinterNames();

    explicit LabelPrinter(const LabelKind& kind);

    void setTarget(Target target) { m_target = std::move(target); }

    enum class Status {
        NoPrinter, // no printer stored
        PrinterNotInstalled, // the stored printer is not among the installed ones
        NothingTicked, // no label to print
        BadSizes, // a size box holds no usable value: error says which
        Done, // every label was tried
    };
    struct Failure {
        LabelQueue::Problem problem;
        QStringList codes;
    };
    struct Outcome {
        Status status = Status::Done;
        QString error;
        QString printer;
        QSizeF labelMm;
        int sent = 0; // taken by the queue and not known to be lost
        int waiting = 0; // of those, still waiting in the printer's queue
        QList<Failure> failures; // in the order the problems first came up
        QStringList failedCodes() const;
    };

    // Called before each label and while waiting; false stops the run.
    using Progress = std::function<bool(int done, int total)>;

    // boxes: the window's current box texts (the printer name in it is not
    // used); printerName: the one stored in set.ini.
    Outcome print(const QString& printerName, const LabelSettings& boxes, const QList<LabelJob>& jobs,
                  const Progress& progress = {}) const;

    // The first label as it will print, for the preview; the printer's
    // resolution is asked for when the printer is installed, else 203 dpi
    // is taken (usedPrinter false).
    struct Preview {
        std::optional<LabelPage> page;
        QString error; // when the sizes cannot be printed with
        bool usedPrinter = false;
    };
    Preview preview(const QString& printerName, const LabelSettings& boxes, const LabelJob& job) const;

    static const QString kNoPrinterMessage;
    static const QString kNoPrinterCaption; // also the caption of other errors
    // How many labels went to the printer, and how many of them still wait
    // in its queue.
    static QString sentMessage(const Outcome& outcome);
    static const QString kSentCaption;
    static const QString kNothingTickedMessage;
    // The closing message when some labels were not printed: per cause the
    // count and the first kListedCodes codes; the log has them all.
    static QString failureMessage(const Outcome& outcome);
    static constexpr int kListedCodes = 10;
    // Writes every code not printed, with its cause, to the operation log.
    static void logFailures(const Outcome& outcome);

private:
    const LabelKind& m_kind;
    Target m_target;
};

// The system's queue of the named printer (LabelPrinter_cups.cpp,
// LabelPrinter_win.cpp).
std::unique_ptr<LabelQueue> openSystemQueue(const QString& printer);

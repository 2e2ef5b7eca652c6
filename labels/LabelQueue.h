#pragma once
// A printer's queue as a print run sees it. The system's queues are opened
// in the platform files (CUPS on Linux, the Windows print system there);
// tests put their own in place.
#include "labels/LabelPage.h"

#include <QList>
#include <QSizeF>

#include <functional>
#include <utility>

class LabelQueue {
public:
    // Why labels were not printed.
    enum class Problem {
        None,
        NotSent, // the job could not be handed over
        Rejecting, // the queue does not accept jobs
        Paused, // the queue is stopped: jobs would be held
        Aborted, // the server aborted or cancelled the job
        SizeNotSupported, // the driver has neither a custom size nor this exact size
        DoesNotFit, // the code would run past the label's edge
        Cancelled, // the user stopped the run before this label
        Unknown, // taken, but what became of the job cannot be read
                 // (queue deleted, print server gone)
    };

    virtual ~LabelQueue() = default;

    // The printer's own resolution in dots per inch.
    virtual int dpi() const = 0;
    // Whether labels of this size can be printed now; None when they can.
    virtual Problem check(const QSizeF& labelMm) = 0;
    // Hands one label over; None when the queue took it.
    virtual Problem send(const LabelPage& page) = 0;
    // After the last label: waits a short while for the queue to show
    // what became of the jobs, and returns the jobs (counted from 0 in the
    // order they were taken) that will not print or whose fate cannot be
    // read, each with the reason. A job is counted as sent only when its
    // state was read. keepAlive is called while waiting.
    virtual QList<std::pair<int, Problem>> settle(const std::function<void()>& keepAlive)
    {
        (void)keepAlive;
        return {};
    }
    // After settle(): how many of the jobs taken still wait in the
    // printer's queue (not yet printed, not lost).
    virtual int waiting() const { return 0; }
};

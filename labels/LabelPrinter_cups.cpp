// The CUPS queues of Linux, through libcups: the queue's own resolution and
// state, the label's page size as the driver knows it, one job per label
// with the label's PDF, and the jobs' fate read back by their ids.
#include "labels/LabelPrinter.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <cups/cups.h>
// The PPD is still where CUPS drivers keep their sizes and resolutions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <cmath>
#include <vector>

namespace {

using Problem = LabelQueue::Problem;

// How long the queue is watched after the last job for a server that
// aborts or cancels jobs (a driver failing, a device gone).
constexpr int kSettleMs = 3000;
constexpr int kPollMs = 100;
constexpr double kPointsPerMm = 72 / 25.4;
// Named sizes are kept in whole points: a size within half a point is the
// label's own.
constexpr double kSizeTolerancePt = 0.5;
// A queue that states no resolution (a PDF or PostScript queue without one
// in its PPD) is drawn at this one.
constexpr int kUnstatedDpi = 300;
// A job whose state could not be read (below every IPP job state).
constexpr int kStateUnread = 0;

// "203dpi", "300x300dpi", "12dpcm".
int parseResolution(const char* text)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(\\d+)(?:x\\d+)?(dpi|dpcm)$")).match(QString::fromLatin1(text));
    if (!m.hasMatch())
        return 0;
    const int value = m.captured(1).toInt();
    return m.captured(2) == QLatin1String("dpcm") ? int(std::lround(value * 2.54)) : value;
}

class CupsQueue final : public LabelQueue {
public:
    explicit CupsQueue(const QString& name) : m_name(name.toUtf8()) { readPrinter(); }

    int dpi() const override { return m_dpi > 0 ? m_dpi : kUnstatedDpi; }

    Problem check(const QSizeF& labelMm) override
    {
        if (!m_reachable)
            return Problem::NotSent;
        if (!m_accepting)
            return Problem::Rejecting;
        if (m_stopped)
            return Problem::Paused;
        return choosePageSize(labelMm) ? Problem::None : Problem::SizeNotSupported;
    }

    Problem send(const LabelPage& page) override
    {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        if (!page.writePdf(pdf))
            return Problem::NotSent;
        cups_option_t* options = nullptr;
        int count = cupsAddOption(m_sizeOption.constData(), m_sizeValue.constData(), 0, &options);
        // The page is the label: nothing to fit, turn or scale.
        count = cupsAddOption("print-scaling", "none", count, &options);
        count = cupsAddOption("orientation-requested", "3", count, &options);
        const QByteArray title = page.title.toUtf8();
        const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, m_name.constData(), title.constData(), count, options);
        cupsFreeOptions(count, options);
        if (id == 0)
            return cupsLastError() == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS ? Problem::Rejecting : Problem::NotSent;
        http_status_t status =
            cupsStartDocument(CUPS_HTTP_DEFAULT, m_name.constData(), id, "label.pdf", CUPS_FORMAT_PDF, 1);
        if (status == HTTP_STATUS_CONTINUE)
            status = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.data().constData(), size_t(pdf.data().size()));
        const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, m_name.constData());
        if (status != HTTP_STATUS_CONTINUE || finished > IPP_STATUS_OK_EVENTS_COMPLETE) {
            cupsCancelJob2(CUPS_HTTP_DEFAULT, m_name.constData(), id, 0);
            return finished == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS ? Problem::Rejecting : Problem::NotSent;
        }
        m_jobs.push_back(id);
        return Problem::None;
    }

    QList<std::pair<int, Problem>> settle(const std::function<void()>& keepAlive) override
    {
        std::vector<int> states(m_jobs.size(), IPP_JSTATE_PENDING);
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            bool open = false;
            for (std::size_t i = 0; i < m_jobs.size(); ++i) {
                if (states[i] < IPP_JSTATE_CANCELED)
                    states[i] = jobState(m_jobs[i]);
                open = open || states[i] < IPP_JSTATE_CANCELED;
            }
            if (!open || waited.elapsed() >= kSettleMs)
                break;
            if (keepAlive)
                keepAlive();
            QThread::msleep(kPollMs);
        }
        // A queue that stopped under the run holds the jobs it has not
        // printed: they are taken back so that they do not come out later
        // unannounced.
        readPrinter();
        QList<std::pair<int, Problem>> lost;
        m_waiting = 0;
        for (std::size_t i = 0; i < m_jobs.size(); ++i) {
            if (states[i] == kStateUnread) {
                // The queue was deleted or the server went away: nobody can
                // say whether this label came out.
                lost.append({int(i), Problem::Unknown});
            } else if (states[i] == IPP_JSTATE_CANCELED || states[i] == IPP_JSTATE_ABORTED) {
                lost.append({int(i), Problem::Aborted});
            } else if (m_stopped && (states[i] == IPP_JSTATE_PENDING || states[i] == IPP_JSTATE_HELD)) {
                cupsCancelJob2(CUPS_HTTP_DEFAULT, m_name.constData(), m_jobs[i], 0);
                lost.append({int(i), Problem::Paused});
            } else if (states[i] < IPP_JSTATE_COMPLETED) {
                ++m_waiting;
            }
        }
        return lost;
    }

    int waiting() const override { return m_waiting; }

private:
    QByteArray printerUri() const
    {
        char uri[HTTP_MAX_URI];
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                         m_name.constData());
        return uri;
    }

    // State, acceptance and resolution: the resolution from the driver's
    // PPD when the queue has one (its default choice is the queue's own
    // setting), else from the printer's attributes.
    void readPrinter()
    {
        ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri().constData());
        static const char* const wanted[] = {"printer-is-accepting-jobs", "printer-state",
                                             "printer-resolution-default"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, wanted);
        ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
        m_reachable = response && ippGetStatusCode(response) <= IPP_STATUS_OK_EVENTS_COMPLETE;
        if (m_reachable) {
            if (ipp_attribute_t* a = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
                m_accepting = ippGetBoolean(a, 0);
            if (ipp_attribute_t* a = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM))
                m_stopped = ippGetInteger(a, 0) == IPP_PSTATE_STOPPED;
            if (ipp_attribute_t* a = ippFindAttribute(response, "printer-resolution-default", IPP_TAG_RESOLUTION)) {
                int y = 0;
                ipp_res_t units = IPP_RES_PER_INCH;
                const int x = ippGetResolution(a, 0, &y, &units);
                m_dpi = units == IPP_RES_PER_CM ? int(std::lround(x * 2.54)) : x;
            }
        }
        ippDelete(response);
        if (m_dpi == 0 || !m_ppdRead)
            readPpd();
    }

    void readPpd()
    {
        m_ppdRead = true;
        const char* file = cupsGetPPD2(CUPS_HTTP_DEFAULT, m_name.constData());
        if (!file)
            return;
        const QByteArray path = file;
        if (ppd_file_t* ppd = ppdOpenFile(path.constData())) {
            ppdMarkDefaults(ppd);
            m_hasPpd = true;
            int dpi = 0;
            if (ppd_choice_t* choice = ppdFindMarkedChoice(ppd, "Resolution"))
                dpi = parseResolution(choice->choice);
            else if (ppd_attr_t* attr = ppdFindAttr(ppd, "DefaultResolution", nullptr))
                dpi = parseResolution(attr->value);
            if (dpi > 0)
                m_dpi = dpi;
            for (int i = 0; i < ppd->num_sizes; ++i) {
                const ppd_size_t& s = ppd->sizes[i];
                if (qstrcmp(s.name, "Custom") != 0)
                    m_sizes.push_back({QByteArray(s.name), s.width, s.length});
            }
            m_custom = ppd->variable_sizes != 0;
            m_customMin = {ppd->custom_min[0], ppd->custom_min[1]};
            m_customMax = {ppd->custom_max[0], ppd->custom_max[1]};
            ppdClose(ppd);
        }
        QFile::remove(QString::fromLocal8Bit(path));
    }

    // The driver's own size of exactly the label's size, else its custom
    // size; without a PPD, the media the printer reports for that size.
    bool choosePageSize(const QSizeF& labelMm)
    {
        const double width = labelMm.width() * kPointsPerMm;
        const double length = labelMm.height() * kPointsPerMm;
        if (m_hasPpd) {
            for (const NamedSize& s : m_sizes) {
                if (std::abs(s.width - width) <= kSizeTolerancePt && std::abs(s.length - length) <= kSizeTolerancePt) {
                    m_sizeOption = "PageSize";
                    m_sizeValue = s.name;
                    return true;
                }
            }
            if (m_custom && width >= m_customMin.first && width <= m_customMax.first && length >= m_customMin.second
                && length <= m_customMax.second) {
                m_sizeOption = "PageSize";
                m_sizeValue = QStringLiteral("Custom.%1x%2mm").arg(labelMm.width()).arg(labelMm.height()).toLatin1();
                return true;
            }
            return false;
        }
        cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, m_name.constData(), nullptr);
        if (!dest)
            return false;
        bool found = false;
        if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
            cups_size_t size;
            if (cupsGetDestMediaBySize(CUPS_HTTP_DEFAULT, dest, info, int(labelMm.width() * 100),
                                       int(labelMm.height() * 100), CUPS_MEDIA_FLAGS_EXACT, &size)) {
                m_sizeOption = "media";
                m_sizeValue = size.media;
                found = true;
            }
            cupsFreeDestInfo(info);
        }
        cupsFreeDests(1, dest);
        return found;
    }

    // The job's state, or kStateUnread when the server does not answer or
    // no longer knows the job (its queue was deleted).
    int jobState(int id) const
    {
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri().constData());
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
        ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
        int state = kStateUnread;
        if (response && ippGetStatusCode(response) <= IPP_STATUS_OK_EVENTS_COMPLETE)
            if (ipp_attribute_t* a = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
                state = ippGetInteger(a, 0);
        ippDelete(response);
        return state;
    }

    struct NamedSize {
        QByteArray name;
        double width;
        double length;
    };

    QByteArray m_name;
    bool m_reachable = false;
    bool m_accepting = true;
    bool m_stopped = false;
    int m_dpi = 0;
    bool m_ppdRead = false;
    bool m_hasPpd = false;
    std::vector<NamedSize> m_sizes;
    bool m_custom = false;
    std::pair<double, double> m_customMin;
    std::pair<double, double> m_customMax;
    QByteArray m_sizeOption;
    QByteArray m_sizeValue;
    std::vector<int> m_jobs;
    int m_waiting = 0;
};

} // namespace

#pragma GCC diagnostic pop

std::unique_ptr<LabelQueue> openSystemQueue(const QString& printer)
{
    return std::make_unique<CupsQueue>(printer);
}

#pragma once
// What the label tests share: a copy of the demo ERP of their own with the
// record set the windows read through, QR decoding with zbar, jobs sent to
// PDF files, and the poppler tools that look at those files.
#include "erp/ErpConnection.h"
#include "erp/RecordSet.h"
#include "labels/LabelPrinter.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class QWidget;

namespace labeltest {

// Starts the QR module once per process.
void startQrModule();

// A fresh demo ERP in a folder of its own, opened the way the program
// opens it.
class DemoErp {
public:
    DemoErp();
    bool isReady() const { return m_ready; }
    // Runs a statement on a connection of its own.
    bool exec(const QString& sql) const;
    // Column 0 of every row of a query, on a connection of its own.
    QStringList column(const QString& sql) const;

    RecordSet 记录集2{QStringLiteral("记录集2")};
    ErpConnection connection{QStringLiteral("labels")};

private:
    QString server() const;
    QTemporaryDir m_dir;
    bool m_ready = false;
};

// Types text into a window's box, replacing what was there.
void setBox(QWidget* window, const char* box, const QString& text);

// The texts of the QR codes zbar finds in an image.
QStringList decode(const QImage& image);

// Sends each job to <folder>/label-<n>.pdf, n counting from 1, as a
// printer of dpi dots per inch would get it; any printer name but "" counts
// as installed. fileFor, when given, names the file of the job-th label
// (0-based) instead.
LabelPrinter::Target pdfFiles(const QString& folder, int dpi = 203, std::function<QString(int job)> fileFor = {});

// Runs a program and returns its standard output; "" when it fails.
QString run(const QString& program, const QStringList& arguments);

// The PDF's page count and the size of its first page in millimetres.
int pageCount(const QString& pdf);
QSizeF pageSizeMm(const QString& pdf);
// The first page rendered at dpi, without smoothing, as a printer would.
QImage render(const QString& pdf, int dpi);
// The words of the first page with their boxes in millimetres.
struct Word {
    QString text;
    QRectF box;
};
QList<Word> words(const QString& pdf);

// The box, in millimetres, of the dark pixels of a page image at dpi,
// looking only left of maxXmm.
QRectF darkBoxMm(const QImage& page, int dpi, double maxXmm = 1e9);

} // namespace labeltest

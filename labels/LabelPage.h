#pragma once
// One label as it goes to the printer: the page of the label's size, the
// QR code drawn in whole printer dots, and the name beside it. Both are
// 1-bit pictures at the printer's resolution: the page is what the printer
// burns, dot for dot, whatever rasteriser or driver lies between.
//
// The QR code is drawn at the printer's own resolution: each module is the
// same whole number of dots (the largest that fits the QR box, never fewer
// than 2), the symbol with its quiet zone of 2 modules starts on a whole dot,
// and the picture is 1-bit, so that no rasteriser resamples or smooths it.
#include "labels/LabelKind.h"
#include "labels/LabelSettings.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <optional>

class QIODevice;
class QPainter;

// The label's sizes in whole millimetres, checked.
struct LabelSizes {
    int paperWidth = 0; // 纸张长
    int paperHeight = 0; // 纸张宽
    int qrWidth = 0; // 二维码宽 (the box captioned "宽:")
    int qrHeight = 0; // 二维码长 (the box captioned "高:")
    int top = 0; // 边距上
    int left = 0; // 边距左

    static constexpr int kMinMm = 1;
    static constexpr int kMaxMm = 500;

    // The sizes from the boxes, or the reason they cannot be printed with.
    static std::optional<LabelSizes> from(const LabelSettings& boxes, QString* error);
    // Why a paper size or a QR size cannot be stored; "" when it can. The
    // QR size is checked against the paper size when that one is valid.
    static QString paperError(const QString& width, const QString& height);
    static QString qrError(const QString& qrLong, const QString& qrWide, const QString& paperWidth,
                           const QString& paperHeight);
    // Why a margin cannot be stored (empty counts as 0); "" when all can.
    static QString marginError(const QString& top, const QString& bottom, const QString& left, const QString& right);
};

struct LabelJob {
    QString code; // job number or device code
    QString name; // printed beside the code on personnel labels, under it on device labels
};

struct LabelPage {
    QSizeF sizeMm; // the label
    int dpi = 0; // the printer's dots per inch
    QImage qr; // 1-bit, one pixel per printer dot, quiet zone included
    QPoint qrAt; // its top-left corner in printer dots
    int moduleDots = 0; // dots per module side
    int modules = 0; // modules per symbol side, quiet zone excluded
    bool qrFits = true; // the whole code with its quiet zone lies on the label
    QString name; // "" when the label carries no text
    QPointF nameAtMm; // top-left corner of the name
    // The name drawn in the default font at the printer's dots, 1-bit like
    // the code, cut at the label's right edge; placed at nameAt (dots).
    QImage nameDots;
    QPoint nameAt;
    // The text under the code ("" when the label has no room for it),
    // 1-bit at the printer's dots like the name, placed at captionAt (dots).
    QString caption;
    QImage captionDots;
    QPoint captionAt;
    QString title; // the print job's name

    static LabelPage make(const LabelKind& kind, const LabelSizes& sizes, const LabelJob& job, int dpi);

    // Draws the label on a painter whose device has the page's resolution
    // and whose origin is the label's top-left corner.
    void paint(QPainter& painter) const;
    // The label as a one-page PDF; false when it cannot be written.
    bool writePdf(QIODevice& out) const;
    // The label as the printer would print it, one pixel per dot.
    QImage toImage() const;

    int widthDots() const;
    int heightDots() const;
    static int dots(double mm, int dpi);

private:
    void placeCaption(const LabelKind& kind, const LabelJob& job, int pictureDots);
    bool writeQtPdf(QIODevice& out) const;
};

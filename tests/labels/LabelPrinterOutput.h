#pragma once
// Reading back what a label printer receives from the CUPS label drivers:
// the ZPL ~DG graphic (hex rows with ZPL's run-length compression) and the
// EPL2 GW rows, turned into a picture of the label, dark dots black.
#include <QByteArray>
#include <QImage>
#include <QList>

namespace labeltest {

struct PrintedLabel {
    QImage picture; // Grayscale8, 0 where the printer burns a dot
    int widthDots = -1; // ^PW / q: the label width the printer is told
    int heightDots = -1; // ZPL: the graphic's rows; EPL2 does not say (-1)
};

// Every label of a ZPL stream; empty when the stream is not understood.
QList<PrintedLabel> readZpl(const QByteArray& stream);
// Every label of an EPL2 stream.
QList<PrintedLabel> readEpl2(const QByteArray& stream);

} // namespace labeltest

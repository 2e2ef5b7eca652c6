#include "tests/labels/LabelPrinterOutput.h"

#include <QRegularExpression>

namespace labeltest {

namespace {

QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    image.fill(255);
    return image;
}

void putBits(QImage& image, int y, const QByteArray& bytes, bool oneIsDark, int atByte = 0)
{
    uchar* line = image.scanLine(y);
    for (int b = 0; b < bytes.size(); ++b)
        for (int bit = 0; bit < 8; ++bit) {
            const int x = (atByte + b) * 8 + bit;
            const bool set = (uchar(bytes[b]) >> (7 - bit)) & 1;
            if (x < image.width() && set == oneIsDark)
                line[x] = 0;
        }
}

// The rows of a ~DG graphic: each row is bytesPerRow bytes written as hex
// digits. A digit may be preceded by a repeat count (G..Y = 1..19, g..z =
// 20..400 in steps of 20, added up); "," ends the row with zeros, "!" with
// ones, ":" repeats the row before.
QList<QByteArray> zplRows(const QByteArray& data, int bytesPerRow, int rows)
{
    const int digitsPerRow = bytesPerRow * 2;
    QList<QByteArray> out;
    QByteArray row, previous;
    int repeat = 0;
    auto finish = [&](char fill) {
        if (!row.isEmpty() || fill)
            row.append(QByteArray(digitsPerRow - row.size(), fill ? fill : '0'));
        previous = QByteArray::fromHex(row);
        out.append(previous);
        row.clear();
    };
    for (char c : data) {
        if (out.size() >= rows)
            break;
        if (c >= 'G' && c <= 'Y') {
            repeat += c - 'G' + 1;
        } else if (c >= 'g' && c <= 'z') {
            repeat += (c - 'g' + 1) * 20;
        } else if (c == ',') {
            finish('0');
        } else if (c == '!') {
            finish('F');
        } else if (c == ':') {
            out.append(previous);
        } else if (std::isxdigit(uchar(c))) {
            row.append(QByteArray(std::max(1, repeat), c));
            repeat = 0;
            if (row.size() >= digitsPerRow) {
                row.truncate(digitsPerRow);
                finish(0);
            }
        }
    }
    return out;
}

} // namespace

QList<PrintedLabel> readZpl(const QByteArray& stream)
{
    QList<PrintedLabel> labels;
    static const QRegularExpression graphic(QStringLiteral("~DGR:CUPS\\.GRF,(\\d+),(\\d+),"));
    static const QRegularExpression width(QStringLiteral("\\^PW(\\d+)"));
    const QString text = QString::fromLatin1(stream);
    qsizetype from = 0;
    for (;;) {
        const QRegularExpressionMatch m = graphic.match(text, from);
        if (!m.hasMatch())
            break;
        const int total = m.captured(1).toInt();
        const int perRow = m.captured(2).toInt();
        const qsizetype end = text.indexOf(QLatin1String("^XA"), m.capturedEnd());
        if (perRow <= 0 || end < 0)
            return {};
        const int rows = total / perRow;
        const QList<QByteArray> data = zplRows(stream.mid(m.capturedEnd(), end - m.capturedEnd()), perRow, rows);
        if (data.size() != rows)
            return {};
        PrintedLabel label;
        label.heightDots = rows;
        const QRegularExpressionMatch w = width.match(text, end);
        label.widthDots = w.hasMatch() ? w.captured(1).toInt() : perRow * 8;
        label.picture = blank(perRow * 8, rows);
        for (int y = 0; y < rows; ++y)
            putBits(label.picture, y, data[y], true);
        labels.append(label);
        from = end;
    }
    return labels;
}

QList<PrintedLabel> readEpl2(const QByteArray& stream)
{
    // N clears the buffer, q sets the width, GW x,y,bytes,rows + binary
    // data draws (a 0 bit is a dark dot), P prints.
    QList<PrintedLabel> labels;
    PrintedLabel current;
    struct Row {
        int x, y;
        QByteArray bytes;
    };
    QList<Row> rows;
    qsizetype at = 0;
    auto line = [&]() {
        const qsizetype end = stream.indexOf('\n', at);
        const QByteArray l = stream.mid(at, end < 0 ? -1 : end - at);
        at = end < 0 ? stream.size() : end + 1;
        return l;
    };
    while (at < stream.size()) {
        const QByteArray l = line();
        if (l.startsWith('q')) {
            current.widthDots = l.mid(1).toInt();
        } else if (l.startsWith("GW")) {
            const QList<QByteArray> f = l.mid(2).split(',');
            if (f.size() != 4)
                return {};
            const int bytes = f[2].toInt() * f[3].toInt();
            for (int r = 0; r < f[3].toInt(); ++r)
                rows.append(
                    {f[0].toInt(), f[1].toInt() + r, stream.mid(at + qsizetype(r) * f[2].toInt(), f[2].toInt())});
            at += bytes;
            if (at < stream.size() && stream[at] == '\n')
                ++at;
        } else if (l.startsWith('P')) {
            int height = 0;
            int bytes = 0;
            for (const Row& r : rows) {
                height = std::max(height, r.y + 1);
                bytes = std::max<int>(bytes, r.x / 8 + int(r.bytes.size()));
            }
            current.picture = blank(std::max(current.widthDots, bytes * 8), height);
            for (const Row& r : rows)
                putBits(current.picture, r.y, r.bytes, false, r.x / 8);
            labels.append(current);
            current = {};
            rows.clear();
        }
    }
    return labels;
}

} // namespace labeltest

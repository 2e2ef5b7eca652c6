#include "app/ProfileFile.h"

#include "app/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include <optional>

namespace {

// One line of the file, split into what the profile functions see.
struct Line {
    QByteArray raw; // the line's bytes without its line end
    enum Kind { Other, Section, Key } kind = Other;
    QString name; // section or key name, blanks around it removed
    QByteArray value; // key value bytes, blanks around it removed
};

QByteArray trimmedBytes(const QByteArray& bytes)
{
    qsizetype b = 0;
    qsizetype e = bytes.size();
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (b < e && blank(bytes[b]))
        ++b;
    while (e > b && blank(bytes[e - 1]))
        --e;
    return bytes.mid(b, e - b);
}

Line parseLine(const QByteArray& raw)
{
    Line line;
    line.raw = raw;
    const QByteArray t = trimmedBytes(raw);
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        line.kind = Line::Section;
        line.name = textcodec::fromGbk(trimmedBytes(t.mid(1, close < 0 ? -1 : close - 1)));
        return line;
    }
    const qsizetype eq = t.indexOf('=');
    if (eq > 0) {
        line.kind = Line::Key;
        line.name = textcodec::fromGbk(trimmedBytes(t.left(eq)));
        line.value = trimmedBytes(t.mid(eq + 1));
    }
    return line;
}

enum class ReadStatus { Read, Missing, Unreadable };

QList<Line> readLines(const QString& path, ReadStatus* status = nullptr)
{
    QList<Line> lines;
    QFile file(path);
    ReadStatus outcome = ReadStatus::Read;
    QByteArray data;
    if (!file.open(QIODevice::ReadOnly)) {
        // Only a file that is not there counts as missing. One that is there
        // but cannot be read (no permission, locked by another program, a
        // directory) must not be taken for an empty one: a write would
        // replace it with a file holding nothing but the new key.
        const QFileInfo info(path);
        outcome = info.exists() || info.isSymLink() ? ReadStatus::Unreadable : ReadStatus::Missing;
    } else {
        data = file.readAll();
        if (file.error() != QFileDevice::NoError)
            outcome = ReadStatus::Unreadable;
    }
    if (status)
        *status = outcome;
    if (outcome != ReadStatus::Read)
        return lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = start;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r')
            ++end;
        lines.append(parseLine(data.mid(start, end - start)));
        if (end < data.size() && data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first line of the first section with that name, or none.
std::optional<qsizetype> findSection(const QList<Line>& lines, const QString& section)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Line::Section && sameName(lines[i].name, section))
            return i;
    return std::nullopt;
}

// Cuts a value to what a 10,240-byte buffer holds, never inside a GBK pair.
QByteArray cutValue(const QByteArray& value)
{
    if (value.size() <= ProfileFile::kMaxValueBytes)
        return value;
    qsizetype end = 0;
    while (end < ProfileFile::kMaxValueBytes) {
        const bool lead = static_cast<unsigned char>(value[end]) >= 0x81;
        const qsizetype width = lead ? 2 : 1;
        if (end + width > ProfileFile::kMaxValueBytes)
            break;
        end += width;
    }
    return value.left(end);
}

// A name or value must stay on its line and must not read as something else.
QString oneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    text.replace(QChar(0), u' ');
    return text;
}

// Puts one key into the lines: replaces its line in place, or adds it after
// the last non-blank line of its section, or adds the section at the end.
void setKey(QList<Line>& lines, const QString& section, const QString& key, const QString& value)
{
    // A section or key name holding "]" or "=" could not be found again;
    // the profile functions would write it as it is, so do we, on one line.
    const QString sectionName = oneLine(section);
    const QString keyName = oneLine(key);
    const QByteArray keyLine = textcodec::toGbk(keyName) + '=' + textcodec::toGbk(oneLine(value));

    const auto start = findSection(lines, sectionName);
    if (!start) {
        Line header;
        header.raw = '[' + textcodec::toGbk(sectionName) + ']';
        header.kind = Line::Section;
        header.name = sectionName;
        Line entry;
        entry.raw = keyLine;
        entry.kind = Line::Key;
        entry.name = keyName;
        lines.append(header);
        lines.append(entry);
        return;
    }
    qsizetype lastContent = *start;
    for (qsizetype i = *start + 1; i < lines.size() && lines[i].kind != Line::Section; ++i) {
        if (lines[i].kind == Line::Key && sameName(lines[i].name, keyName)) {
            lines[i].raw = keyLine;
            return;
        }
        if (!trimmedBytes(lines[i].raw).isEmpty())
            lastContent = i;
    }
    Line entry;
    entry.raw = keyLine;
    entry.kind = Line::Key;
    entry.name = keyName;
    lines.insert(lastContent + 1, entry);
}

} // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path))
{
}

QString ProfileFile::read(const QString& section, const QString& key) const
{
    const QList<Line> lines = readLines(m_path);
    const auto start = findSection(lines, section);
    if (!start)
        return {};
    for (qsizetype i = *start + 1; i < lines.size() && lines[i].kind != Line::Section; ++i)
        if (lines[i].kind == Line::Key && sameName(lines[i].name, key))
            return textcodec::fromGbk(cutValue(lines[i].value));
    return {};
}

QString ProfileFile::readBack(const QString& value)
{
    return textcodec::fromGbk(cutValue(trimmedBytes(textcodec::toGbk(oneLine(value)))));
}

bool ProfileFile::write(const QString& section, const QString& key, const QString& value) const
{
    return writeKeys(section, {{key, value}}) == WriteStatus::Written;
}

ProfileFile::WriteStatus ProfileFile::writeKeys(const QString& section,
                                                const QList<std::pair<QString, QString>>& entries) const
{
    ReadStatus status = ReadStatus::Missing;
    QList<Line> lines = readLines(m_path, &status);
    if (status == ReadStatus::Unreadable)
        return WriteStatus::Unreadable;
    for (const auto& [key, value] : entries)
        setKey(lines, section, key, value);

    QByteArray data;
    for (const Line& line : lines)
        data += line.raw + "\r\n";

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return WriteStatus::Unwritable;
    file.write(data);
    if (!file.commit())
        return WriteStatus::Unwritable;
    // The file holds the password in a reversible encoding: readable by its
    // owner only, also when an earlier installation or a copy left it
    // readable by others.
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return WriteStatus::Written;
}

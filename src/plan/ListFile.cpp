#include "ListFile.h"
#include "FileWriter.h"
#include "PlanFileError.h"
#include "RegularFile.h"

#include <QStringDecoder>

namespace {

QString decode(const QByteArray &bytes)
{
    // The decoder keeps a byte-order mark, so that only the one below is
    // read over (an entry may itself start with U+FEFF).
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

QStringList ListFile::splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    // The text after the last line end is a line of its own unless empty.
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

std::optional<QStringList> ListFile::load(const QString &path)
{
    // Only a regular file is read, up to the bound: a named pipe or a device
    // in its place is as unreadable as a file without permission.
    const RegularFile::Contents file = RegularFile::read(path, kMaxFileSize);
    if (!file.ok())
        return std::nullopt;
    return parse(file.bytes);
}

QStringList ListFile::parse(const QByteArray &bytes)
{
    return splitLines(decode(bytes));
}

QStringList ListFile::read(const QString &path)
{
    return load(path).value_or(QStringList());
}

void ListFile::write(const QString &path, const QStringList &entries)
{
    QByteArray bytes;
    // A first entry that itself begins with U+FEFF would be read as a
    // byte-order mark: a mark in front keeps it.
    if (!entries.isEmpty() && entries.first().startsWith(QChar(0xFEFF)))
        bytes += "\xEF\xBB\xBF";
    for (const QString &entry : entries) {
        bytes += entry.toUtf8();
        bytes += "\r\n";
    }
    FileWriter::writeFile(path, bytes);
}

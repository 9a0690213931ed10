#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// A list file: a plain text file holding one entry per line (the suggested
// item descriptions, the browser history). No header and no quoting; every
// line is one entry, unchanged, so an empty line is an empty entry.
//
// Reading accepts CR LF, LF and CR as line ends, and a last line without a
// line end still counts. Text is UTF-8; a file that is not valid UTF-8 (an
// older 8-bit file) is read as Latin-1, so that rewriting it loses nothing.
// Writing puts CR LF after every line, in UTF-8, through FileWriter: a failed
// write leaves the previous file whole.
class ListFile
{
public:
    // The entries of the file; an empty list when it is missing or unreadable.
    static QStringList read(const QString &path);

    // The entries of the file, or nothing when it does not exist or cannot be
    // read (so a caller can keep what it holds).
    static std::optional<QStringList> load(const QString &path);

    // Writes the entries, replacing the file (an entry holding a line break
    // comes back as more than one). Throws FileWriteError, whose
    // message names the file, when it cannot be written.
    static void write(const QString &path, const QStringList &entries);

    // The lines of a text as read from a list file.
    static QStringList splitLines(const QString &text);

    // The entries of a list file's bytes, as load() reads them.
    static QStringList parse(const QByteArray &bytes);

    // A larger file is not read (load() gives nothing): no real one comes near.
    static constexpr qint64 kMaxFileSize = qint64(64) << 20;
};

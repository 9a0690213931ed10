#pragma once
#include <QByteArray>
#include <QString>

// Reads a file that a person or another program may have put in place, with
// a bound. Only a regular file is read (a symbolic link to one is followed):
// a named pipe, a device or a folder is refused at once, never waited on or
// read without end. The size the file gives is not trusted either: at most
// maxBytes are read, and one byte more makes the file too large.
class RegularFile
{
public:
    enum class Status {
        Ok,
        Missing, // there is no such file (or a link that leads nowhere)
        NotRegular, // a named pipe, a device, a folder, a socket
        TooLarge, // more than maxBytes
        Failed, // cannot be opened or read for another reason
    };

    struct Contents
    {
        Status status = Status::Failed;
        QByteArray bytes; // the whole file when status is Ok
        QString reason; // why not, after the file's name: "is not a regular file: it is a named pipe"
        QString message; // the same with the file's name in front: "\"PATH\" is not a regular file: ..."
        qint64 size = 0; // the bytes the file holds, at least as far as known
        bool ok() const { return status == Status::Ok; }
    };

    static Contents read(const QString &path, qint64 maxBytes);

    // "a named pipe", "a character device", "a folder", ... for a file mode.
    static QString kindOf(unsigned mode);
};

#pragma once
#include <QString>
#include <stdexcept>

// A plan file that cannot be read (not a valid packet, does not match its
// table) or cannot be written. The message names the file.
class PlanFileError : public std::runtime_error
{
public:
    PlanFileError(const QString &fileName, const QString &message)
        : std::runtime_error(message.toStdString()), m_fileName(fileName), m_message(message)
    {
    }
    QString fileName() const { return m_fileName; }
    QString message() const { return m_message; }

private:
    QString m_fileName;
    QString m_message;
};

// Reading: the file is not a table file this program can use.
class FileFormatError : public PlanFileError
{
public:
    using PlanFileError::PlanFileError;
};

// Writing: the file could not be created, written or put in place. The
// message names the file; reason() is the system's own word for the cause
// ("No space left on device") where there is one.
class FileWriteError : public PlanFileError
{
public:
    FileWriteError(const QString &fileName, const QString &message, const QString &reason = QString())
        : PlanFileError(fileName, message), m_reason(reason.isEmpty() ? message : reason)
    {
    }
    QString reason() const { return m_reason; }

private:
    QString m_reason;
};

#pragma once
#include <stdexcept>
#include <QString>

// An operation the table refuses: a duplicate key on post, a bad filter
// expression, an unknown field, a move without a current row.
class TableError : public std::runtime_error
{
public:
    explicit TableError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) { }
    QString message() const { return m_message; }

private:
    QString m_message;
};

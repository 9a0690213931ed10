#pragma once
#include <QString>
#include <QStringList>

// The plans opened or saved last, most recent first, at most eight, kept in
// a list file of the user's own. The list is read again before every change,
// so two copies of the program running side by side do not undo each other.
class RecentPlans
{
public:
    static constexpr int kMaxEntries = 8;

    explicit RecentPlans(const QString &file) : m_file(file) { }

    // The plans as the file holds them now (empty when there is none).
    QStringList entries() const;
    // Puts `path` first (once); the oldest beyond eight falls off. Throws
    // FileWriteError when the list cannot be written.
    void add(const QString &path);
    // Takes `path` off the list. Throws FileWriteError.
    void remove(const QString &path);

private:
    void write(const QStringList &entries) const;
    QString m_file;
};

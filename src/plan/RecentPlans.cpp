#include "plan/RecentPlans.h"
#include "plan/ListFile.h"

#include <QDir>
#include <QFileInfo>

namespace {
// A plan is one file whatever name it was reached by.
QString normalised(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

QStringList RecentPlans::entries() const
{
    QStringList out;
    for (const QString &entry : ListFile::read(m_file))
        if (!entry.isEmpty() && !out.contains(entry) && out.size() < kMaxEntries)
            out << entry;
    return out;
}

void RecentPlans::add(const QString &path)
{
    const QString plan = normalised(path);
    QStringList list = entries();
    list.removeAll(plan);
    list.prepend(plan);
    write(list.mid(0, kMaxEntries));
}

void RecentPlans::remove(const QString &path)
{
    QStringList list = entries();
    if (list.removeAll(normalised(path)) + list.removeAll(path) > 0)
        write(list);
}

void RecentPlans::write(const QStringList &entries) const
{
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    ListFile::write(m_file, entries);
}

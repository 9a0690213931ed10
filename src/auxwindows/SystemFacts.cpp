#include "auxwindows/SystemFacts.h"

#include <QFile>
#include <QHash>
#include <QStorageInfo>
#include <QSysInfo>
#include <QtMath>

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

namespace {

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    // Files under /proc report a size of 0, so read until the end.
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "Key : value" lines; the first occurrence of a key wins (on a machine
// with several processors cpuinfo repeats every key once per processor).
QHash<QByteArray, QByteArray> keyValues(const QByteArray &text)
{
    QHash<QByteArray, QByteArray> values;
    for (const QByteArray &line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray key = line.left(colon).trimmed();
        if (!values.contains(key))
            values.insert(key, line.mid(colon + 1).trimmed());
    }
    return values;
}

// meminfo gives "16314420 kB".
quint64 kilobytes(const QHash<QByteArray, QByteArray> &values, const QByteArray &key)
{
    return values.value(key).split(' ').value(0).toULongLong() * 1024;
}

QString userName()
{
    for (const char *variable : {"USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    if (const passwd *entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return {};
}

QList<SystemFacts::Drive> mountedDrives()
{
    QList<SystemFacts::Drive> list;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid())
            continue;
        SystemFacts::Drive drive;
        drive.name = volume.rootPath();
        if (volume.isReady() && volume.bytesTotal() > 0) {
            drive.totalBytes = volume.bytesTotal();
            drive.freeBytes = volume.bytesFree();
        }
        list << drive;
    }
    std::sort(list.begin(), list.end(),
              [](const SystemFacts::Drive &a, const SystemFacts::Drive &b) { return a.name < b.name; });
    return list;
}

} // namespace

void SystemFacts::parseMeminfo(const QByteArray &text, SystemFacts &facts)
{
    const auto values = keyValues(text);
    facts.totalMemory = kilobytes(values, "MemTotal");
    // Kernels before 3.14 have no MemAvailable; free memory is the nearest.
    facts.availableMemory =
        values.contains("MemAvailable") ? kilobytes(values, "MemAvailable") : kilobytes(values, "MemFree");
    facts.availableMemory = qMin(facts.availableMemory, facts.totalMemory);
    facts.memoryLoad = facts.totalMemory == 0
        ? 0
        : qRound(100.0 * double(facts.totalMemory - facts.availableMemory) / double(facts.totalMemory));
}

void SystemFacts::parseCpuinfo(const QByteArray &text, SystemFacts &facts)
{
    const auto values = keyValues(text);
    facts.processor = QString::fromUtf8(values.value("model name"));
    if (facts.processor.isEmpty()) // ARM and others name no model
        facts.processor = QSysInfo::currentCpuArchitecture();
    bool ok = false;
    const double megahertz = values.value("cpu MHz").toDouble(&ok);
    facts.processorSpeed = ok && megahertz > 0 ? QStringLiteral("%1 MHz").arg(qRound(megahertz)) : QString();
}

SystemFacts SystemFacts::read()
{
    SystemFacts facts;
    parseMeminfo(readProcFile(QStringLiteral("/proc/meminfo")), facts);
    parseCpuinfo(readProcFile(QStringLiteral("/proc/cpuinfo")), facts);
    facts.user = userName();
    facts.computer = QSysInfo::machineHostName();
    facts.platform = QSysInfo::prettyProductName();
    facts.drives = mountedDrives();
    return facts;
}

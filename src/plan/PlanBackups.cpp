#include "PlanBackups.h"
#include "FileWriter.h"
#include "MoneyFormat.h"
#include "Plan.h"
#include "PlanFiles.h"
#include "PlanTotals.h"
#include "RegularFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace PlanBackups {

namespace {

const QString kMainFile = QStringLiteral("plan.pkb");
const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A backup's folder name: the time of the save, and a count when two saves
// share a millisecond.
bool isBackupName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}-\\d{3}(-\\d+)?$"));
    return pattern.match(name).hasMatch();
}

// The backups' folder names, newest first.
QStringList backupNames(const QString &dir)
{
    QStringList names;
    const QStringList entries = QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : entries)
        if (isBackupName(name))
            names << name;
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        // A count sorts after the name without one: it came later.
        const QString ta = a.left(19);
        const QString tb = b.left(19);
        if (ta != tb)
            return ta > tb;
        return a.mid(20).toInt() > b.mid(20).toInt();
    });
    return names;
}

void syncFolder(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::vector<OldFile> readFamily(const QString &planFile)
{
    std::vector<OldFile> files;
    for (const QString &file : PlanFiles::familyFiles(planFile)) {
        const RegularFile::Contents contents = RegularFile::read(file, PlanFiles::kMaxTableFileSize);
        if (contents.status == RegularFile::Status::Missing)
            continue;
        if (!contents.ok())
            throw FileFormatError(file, contents.message);
        files.push_back({file.mid(planFile.size()), contents.bytes});
    }
    return files;
}

QString planFolder(const QString &folder, const QString &planFile)
{
    const QString real = FileWriter::realPath(planFile);
    const QByteArray hash = QCryptographicHash::hash(real.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QDir(folder).filePath(QFileInfo(real).fileName() + QLatin1Char('-') + QString::fromLatin1(hash));
}

void keep(const QString &folder, const QString &planFile, const std::vector<OldFile> &files, const QDateTime &when)
{
    const QString dir = planFolder(folder, planFile);
    if (!QDir().mkpath(dir))
        throw FileWriteError(dir, QStringLiteral("The folder \"%1\" cannot be made").arg(dir),
                             QStringLiteral("the folder \"%1\" cannot be made").arg(dir));
    // What a backup cut short left (the plan's save lock is held: no other
    // backup of this plan is being written).
    for (const QString &name : QDir(dir).entryList({QStringLiteral(".new-*")}, QDir::Dirs | QDir::Hidden))
        QDir(QDir(dir).filePath(name)).removeRecursively();

    const QString scratch = QDir(dir).filePath(
        QStringLiteral(".new-%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    try {
        if (!QDir().mkdir(scratch))
            throw FileWriteError(scratch, QStringLiteral("The folder \"%1\" cannot be made").arg(scratch),
                                 QStringLiteral("the folder \"%1\" cannot be made").arg(scratch));
        for (const OldFile &file : files)
            FileWriter::writeFile(QDir(scratch).filePath(kMainFile + file.suffix), file.bytes);
        FileWriter::writeFile(QDir(scratch).filePath(QStringLiteral("origin")),
                              FileWriter::realPath(planFile).toUtf8() + '\n');
        QString name = when.toUTC().toString(kStampFormat);
        for (int n = 2; QFileInfo::exists(QDir(dir).filePath(name)); ++n)
            name = when.toUTC().toString(kStampFormat) + QLatin1Char('-') + QString::number(n);
        const QString target = QDir(dir).filePath(name);
        if (::rename(QFile::encodeName(scratch).constData(), QFile::encodeName(target).constData()) != 0)
            throw FileWriteError(target,
                                 QStringLiteral("\"%1\" cannot be put in place: %2").arg(target, systemReason()),
                                 systemReason());
        syncFolder(dir);
    } catch (const FileWriteError &) {
        QDir(scratch).removeRecursively();
        throw;
    }
    const QStringList names = backupNames(dir);
    for (qsizetype i = kKept; i < names.size(); ++i)
        QDir(QDir(dir).filePath(names.at(i))).removeRecursively();
}

QString Backup::planFile() const
{
    return QDir(path).filePath(kMainFile);
}

QList<Backup> list(const QString &folder, const QString &planFile)
{
    const QString dir = planFolder(folder, planFile);
    QList<Backup> backups;
    for (const QString &name : backupNames(dir)) {
        const QDateTime read = QDateTime::fromString(name.left(19), kStampFormat);
        backups.append({QDir(dir).filePath(name), QDateTime(read.date(), read.time(), Qt::UTC)});
    }
    return backups;
}

Summary summarise(const Backup &backup, const QDateTime &now)
{
    Summary summary;
    Plan plan;
    try {
        PlanFiles::loadPlan(plan, backup.planFile());
    } catch (const PlanFileError &e) {
        summary.problem = e.message();
        return summary;
    }
    summary.items = plan.items().totalRowCount();
    summary.monthlyBalance = computePlanTotals(plan, QStringLiteral("Monthly"), now).balance;
    return summary;
}

QString timeText(const Backup &backup)
{
    return backup.time.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString describe(const Backup &backup, const QDateTime &now)
{
    const Summary summary = summarise(backup, now);
    if (!summary.problem.isEmpty())
        return timeText(backup) + QStringLiteral("  cannot be read: ") + summary.problem;
    return timeText(backup) + QStringLiteral("  ")
        + (summary.items == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(summary.items))
        + QStringLiteral("  ") + MoneyFormat::moneyText(summary.monthlyBalance) + QStringLiteral(" a month");
}

int load(const Backup &backup, Plan &plan)
{
    PlanFiles::loadPlan(plan, backup.planFile());
    try {
        return PlanFiles::displayFrequencyFromText(
            PlanFiles::readDisplayFrequencyText(PlanFiles::settingsFile(backup.planFile())));
    } catch (const PlanFileError &) {
        return 2;
    }
}

} // namespace PlanBackups

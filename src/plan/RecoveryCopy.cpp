#include "RecoveryCopy.h"
#include "FileWriter.h"
#include "IniFile.h"
#include "Plan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QUrl>

#include <algorithm>
#include <array>
#include <chrono>

namespace {

const QString kSection = QStringLiteral("recovery");

QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString decoded(const QString &text)
{
    return QUrl::fromPercentEncoding(text.toLatin1());
}

} // namespace

RecoveryCopy::RecoveryCopy(const QString &folder)
{
    QDir().mkpath(folder);
    for (int attempt = 0; attempt < 20 && !m_lock; ++attempt) {
        m_path = QDir(folder).filePath(QStringLiteral("%1-%2")
                                           .arg(QCoreApplication::applicationPid())
                                           .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        if (QFileInfo::exists(m_path) || QFileInfo::exists(m_path + QStringLiteral(".lock")))
            continue;
        if (!takeLock(m_path + QStringLiteral(".lock")))
            m_lock.reset();
    }
    if (!m_lock)
        m_lastProblem = QStringLiteral("No recovery copy can be kept in \"%1\"").arg(folder);
}

RecoveryCopy::~RecoveryCopy()
{
    if (m_writing.valid())
        m_writing.wait();
}

bool RecoveryCopy::takeLock(const QString &lockFile)
{
    m_lock = std::make_unique<QLockFile>(lockFile);
    // Only a program that is no longer running gives its copy up, however
    // long ago it took it.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

QString RecoveryCopy::mainFile() const
{
    return QDir(m_path).filePath(QStringLiteral("plan.pkb"));
}

QString RecoveryCopy::aboutFile() const
{
    return QDir(m_path).filePath(QStringLiteral("about.ini"));
}

void RecoveryCopy::write(const Plan &plan, About about)
{
    waitForWrite();
    if (!m_lock)
        return;
    about.time = QDateTime::currentDateTimeUtc();
    m_about = about;
    IniFile info(aboutFile());
    info.writeString(kSection, QStringLiteral("plan"), encoded(about.planFile));
    info.writeString(kSection, QStringLiteral("title"), encoded(about.title));
    info.writeString(kSection, QStringLiteral("frequency"), QString::number(about.displayFrequency));
    info.writeString(kSection, QStringLiteral("time"), about.time.toString(Qt::ISODateWithMs));
    // Only the rows are copied here; the files are made and written aside.
    auto tables = std::make_shared<std::array<std::unique_ptr<Table>, 5>>();
    (*tables)[0] = plan.items().copyRows();
    (*tables)[1] = plan.savings().copyRows();
    (*tables)[2] = plan.loans().copyRows();
    (*tables)[3] = plan.categories().copyRows();
    (*tables)[4] = plan.reminders().copyRows();
    m_writing = std::async(std::launch::async,
                           [tables, frequency = about.displayFrequency, main = mainFile(), path = m_path,
                            aboutPath = aboutFile(), aboutBytes = info.bytes()]() -> QString {
                               try {
                                   Plan copy;
                                   copy.items().takeRowsFrom(*(*tables)[0]);
                                   copy.savings().takeRowsFrom(*(*tables)[1]);
                                   copy.loans().takeRowsFrom(*(*tables)[2]);
                                   copy.categories().takeRowsFrom(*(*tables)[3]);
                                   copy.reminders().takeRowsFrom(*(*tables)[4]);
                                   if (!QDir().mkpath(path))
                                       return QStringLiteral("The folder \"%1\" cannot be made").arg(path);
                                   PlanFiles::writeFamily(PlanFiles::familyBytes(copy, main, frequency), main);
                                   FileWriter::writeFile(aboutPath, aboutBytes);
                               } catch (const PlanFileError &e) {
                                   return e.message();
                               } catch (const TableError &e) {
                                   return e.message();
                               }
                               return QString();
                           });
}

bool RecoveryCopy::isWriting() const
{
    return m_writing.valid() && m_writing.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

QString RecoveryCopy::lastProblem()
{
    if (m_writing.valid() && !isWriting())
        m_lastProblem = m_writing.get();
    return m_lastProblem;
}

void RecoveryCopy::waitForWrite()
{
    if (m_writing.valid())
        m_lastProblem = m_writing.get();
}

void RecoveryCopy::discard()
{
    waitForWrite();
    if (!m_lock)
        return;
    QDir(m_path).removeRecursively();
    m_lock->unlock();
    m_lock.reset();
}

void RecoveryCopy::readAbout()
{
    IniFile info(aboutFile());
    if (!QFileInfo::exists(aboutFile()) || !info.load()) {
        m_problem = QStringLiteral("\"%1\" cannot be read").arg(aboutFile());
        return;
    }
    m_about.planFile = decoded(info.readString(kSection, QStringLiteral("plan"), QString()));
    m_about.title = decoded(info.readString(kSection, QStringLiteral("title"), QString()));
    m_about.displayFrequency = info.readString(kSection, QStringLiteral("frequency"), QStringLiteral("2")).toInt();
    m_about.time =
        QDateTime::fromString(info.readString(kSection, QStringLiteral("time"), QString()), Qt::ISODateWithMs);
}

void RecoveryCopy::load(Plan &plan) const
{
    if (!QFileInfo::exists(mainFile()))
        throw FileFormatError(mainFile(), QStringLiteral("The recovery copy \"%1\" holds no plan").arg(m_path));
    Plan scratch;
    const PlanFiles::Opened opened = PlanFiles::loadPlan(scratch, mainFile());
    if (!opened.missing.isEmpty())
        throw FileFormatError(
            mainFile(),
            QStringLiteral("The recovery copy \"%1\" lacks %2").arg(m_path, opened.missing.join(QStringLiteral(", "))));
    plan.items().takeRowsFrom(scratch.items());
    plan.savings().takeRowsFrom(scratch.savings());
    plan.loans().takeRowsFrom(scratch.loans());
    plan.categories().takeRowsFrom(scratch.categories());
    plan.reminders().takeRowsFrom(scratch.reminders());
}

std::vector<std::unique_ptr<RecoveryCopy>> RecoveryCopy::orphans(const QString &folder)
{
    std::vector<std::unique_ptr<RecoveryCopy>> found;
    const QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        std::unique_ptr<RecoveryCopy> copy(new RecoveryCopy());
        copy->m_path = QDir(folder).filePath(name);
        if (!copy->takeLock(copy->m_path + QStringLiteral(".lock")))
            continue; // its program is running
        copy->readAbout();
        if (copy->m_problem.isEmpty()) {
            try {
                Plan probe;
                copy->load(probe);
            } catch (const PlanFileError &e) {
                copy->m_problem = e.message();
            }
        }
        found.push_back(std::move(copy));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto &a, const auto &b) { return a->m_about.time < b->m_about.time; });
    return found;
}

#include "PlanCommands.h"
#include "CommandLine.h"
#include "LoanCommand.h"
#include "plan/PlanCsv.h"
#include "plan/PlanImport.h"

#include "plan/Clock.h"
#include "plan/DueReminders.h"
#include "plan/FileWriter.h"
#include "plan/Frequency.h"
#include "plan/MoneyFormat.h"
#include "plan/Plan.h"
#include "plan/PlanBackups.h"
#include "plan/ProgramFolders.h"
#include "plan/PlanFiles.h"
#include "plan/PlanLock.h"
#include "plan/PlanTotals.h"
#include "reports/PlanReport.h"
#include "reports/RemindersReport.h"
#include "reports/ReportPainter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTextStream>
#include <optional>

// Exit statuses: 0 done; 1 the output could not be written; 2 bad arguments,
// bad input or a plan that cannot be read (nothing written then).
namespace {

constexpr int kWriteFailed = 1;
constexpr int kBadInput = 2;

// Messages are one line each, whatever the file names hold.
QString oneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

int fail(const QString &command, const QString &message, int status = kBadInput)
{
    QTextStream(stderr) << "pursekeep-cli " << command << ": " << oneLine(message) << '\n';
    return status;
}

using CommandLine::Arguments;

// Writes a command's output to standard output: 0, or kWriteFailed after
// reporting that it could not.
int writeOutput(const QString &command, const QByteArray &bytes)
{
    if (!CommandLine::writeOutput(bytes))
        return fail(command, QStringLiteral("cannot write to standard output"), kWriteFailed);
    return 0;
}

// "-" stands for standard input or output only where one file is read or
// written: a plan is a family of files beside each other and the CSV files
// are a folder of five, so neither PLAN nor DIR can be "-". False after
// saying so.
bool pathArguments(const QString &command, const Arguments &arguments)
{
    const QList<CommandLine::Positional> &names = CommandLine::find(command)->positional;
    for (qsizetype i = 0; i < names.size() && i < arguments.positional.size(); ++i) {
        if (!CommandLine::isStandardStream(arguments.positional.at(i)))
            continue;
        if (names.at(i).name == QLatin1String("DIR")) {
            fail(command,
                 QStringLiteral("'-' cannot stand for DIR: the CSV files are five files in a folder; "
                                "name the folder (./- for a folder named \"-\")"));
            return false;
        }
        if (names.at(i).name == QLatin1String("PLAN")) {
            fail(command,
                 QStringLiteral("'-' cannot stand for PLAN: a plan is six files beside each other, which "
                                "standard input or output cannot hold; name its main file, such as "
                                "home.pkb (./- for a file named \"-\")"));
            return false;
        }
    }
    return true;
}

// Reads a command's arguments: nothing to go on with, or the exit status when
// its help was shown (0) or the arguments were refused (2, reported).
std::optional<int> readArguments(const QString &command, const QStringList &args, Arguments &out)
{
    switch (CommandLine::parse(*CommandLine::find(command), args, out)) {
    case CommandLine::Outcome::Run:
        if (!pathArguments(command, out))
            return kBadInput;
        return std::nullopt;
    case CommandLine::Outcome::HelpShown: return 0;
    case CommandLine::Outcome::Refused: break;
    }
    return kBadInput;
}

QString frequencyList()
{
    const QStringList names = Frequency::names();
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + names.last();
}

// The index of a --frequency name, or -1 after reporting it.
int frequencyOption(const QString &command, const QString &name)
{
    const int index = Frequency::indexOf(name);
    if (index < 0)
        fail(command,
             QStringLiteral("'%1' is not a frequency; give %2 (exactly so written)").arg(name, frequencyList()));
    return index;
}

// Loads an existing plan; false after reporting why it cannot be read.
bool loadExistingPlan(const QString &command, const QString &planFile, Plan &plan)
{
    const QFileInfo info(planFile);
    if (!info.exists()) {
        fail(command, QStringLiteral("\"%1\" does not exist").arg(planFile));
        return false;
    }
    if (!info.isFile()) {
        fail(command, QStringLiteral("\"%1\" is not a plan file").arg(planFile));
        return false;
    }
    PlanFiles::Opened opened;
    try {
        opened = PlanFiles::loadPlan(plan, planFile);
    } catch (const PlanFileError &e) {
        fail(command, e.message());
        return false;
    }
    // Read on with what is there, as the program does, and say what is not.
    for (const QString &missing : std::as_const(opened.missing))
        QTextStream(stderr) << "pursekeep-cli " << command << ": warning: "
                            << oneLine(QStringLiteral("\"%1\" lacks %2; its table is empty").arg(planFile, missing))
                            << '\n';
    return true;
}

// --today yyyy-MM-dd fixes the clock at noon of that day; false after
// reporting a bad date.
bool todayOption(const QString &command, const Arguments &arguments)
{
    if (!arguments.options.contains(QStringLiteral("today")))
        return true;
    const QString text = arguments.options.value(QStringLiteral("today"));
    const QDate today = QDate::fromString(text, Qt::ISODate);
    if (text.size() != 10 || !today.isValid()) {
        fail(command, QStringLiteral("--today needs a date as yyyy-MM-dd, not '%1'").arg(text));
        return false;
    }
    Clock::set(QDateTime(today, QTime(12, 0)));
    return true;
}

// The plan's own display frequency, as the program reads it when it opens the
// plan: Fortnightly without a settings file, and an unusable one is no
// telling which is meant. -1 after reporting it.
int planDisplayFrequency(const QString &command, const QString &planFile)
{
    const QString iniFile = PlanFiles::settingsFile(planFile);
    if (!QFileInfo(iniFile).isFile())
        return 2;
    const QString text = PlanFiles::readDisplayFrequencyText(iniFile);
    int frequency = -1;
    try {
        frequency = PlanFiles::displayFrequencyFromText(text);
    } catch (const PlanFileError &e) {
        fail(command, QStringLiteral("\"%1\": %2; give --frequency NAME").arg(iniFile, e.message()));
        return -1;
    }
    if (Frequency::name(frequency).isEmpty()) {
        fail(command,
             QStringLiteral("\"%1\": %2 is not a display frequency (0 to 5); give --frequency NAME")
                 .arg(iniFile)
                 .arg(frequency));
        return -1;
    }
    return frequency;
}

// Saves the plan over `planFile`; the exit status, after reporting a failure.
int writePlan(const QString &command, const Plan &plan, const QString &planFile, int displayFrequency)
{
    // A plan open in the program is not replaced under it.
    PlanLock lock(planFile, PlanLock::Kind::Open);
    if (lock.tryLock() == PlanLock::Result::HeldElsewhere) {
        const QString holder = lock.holder();
        return fail(command,
                    QStringLiteral("\"%1\" is open in another program%2; close it there first (nothing "
                                   "was written)")
                        .arg(planFile, holder.isEmpty() ? QString() : QStringLiteral(" (") + holder + u')'));
    }
    // The plan it replaces is kept among the plan's backups; a backup that
    // cannot be kept does not stop the save, and is said.
    PlanFiles::SaveBackup backup;
    backup.folder = ProgramFolders::backupsFolder();
    try {
        PlanFiles::savePlan(plan, planFile, PlanFiles::settingsFile(planFile), displayFrequency, &backup);
    } catch (const PlanFileError &e) {
        return fail(command, e.message(), kWriteFailed);
    }
    if (backup.kept)
        QTextStream(stderr) << "pursekeep-cli " << command << ": "
                            << oneLine(QStringLiteral("replaced the plan \"%1\"; the old one is kept as backup 1 "
                                                      "(pursekeep-cli restore puts it back)")
                                           .arg(planFile))
                            << '\n';
    if (!backup.problem.isEmpty())
        QTextStream(stderr) << "pursekeep-cli " << command << ": warning: "
                            << oneLine(QStringLiteral("the plan was saved, but the plan it replaced could not be kept "
                                                      "as a backup: %1")
                                           .arg(backup.problem))
                            << '\n';
    return 0;
}

} // namespace

int runImportCommand(const QStringList &args)
{
    const QString command = QStringLiteral("import");
    Arguments arguments;
    if (const std::optional<int> stop = readArguments(command, args, arguments))
        return *stop;
    const QString folder = arguments.positional.at(0);
    const QString planFile = arguments.positional.at(1);
    const int frequency =
        frequencyOption(command, arguments.options.value(QStringLiteral("frequency"), Frequency::name(2)));
    if (frequency < 0)
        return kBadInput;

    Plan plan;
    PlanImport import;
    const bool good = import.read(folder, plan);
    QTextStream err(stderr);
    for (const QString &warning : import.warnings())
        err << oneLine(warning) << '\n';
    if (!good) {
        for (const QString &line : import.shownErrors())
            err << oneLine(line) << '\n';
        err << "pursekeep-cli import: nothing was written\n";
        return kBadInput;
    }
    err.flush(); // the warnings before what the save says

    return writePlan(command, plan, planFile, frequency);
}

int runExportCommand(const QStringList &args)
{
    const QString command = QStringLiteral("export");
    Arguments arguments;
    if (const std::optional<int> stop = readArguments(command, args, arguments))
        return *stop;
    const QString planFile = arguments.positional.at(0);
    const QString folder = arguments.positional.at(1);

    Plan plan;
    if (!loadExistingPlan(command, planFile, plan))
        return kBadInput;
    try {
        PlanCsv::writeFolder(plan, folder);
    } catch (const FileWriteError &e) {
        return fail(command, e.message(), kWriteFailed);
    }
    return 0;
}

namespace {

// The `--today` and `--frequency` options and the plan they apply to: the
// plan's own display frequency when none is given. False after reporting why.
bool loadPlanForTotals(const QString &command, const Arguments &arguments, const QString &planFile, Plan &plan,
                       int &frequency)
{
    if (!todayOption(command, arguments))
        return false;
    frequency = -1;
    if (arguments.options.contains(QStringLiteral("frequency"))
        && (frequency = frequencyOption(command, arguments.options.value(QStringLiteral("frequency")))) < 0)
        return false;
    if (!loadExistingPlan(command, planFile, plan))
        return false;
    return frequency >= 0 || (frequency = planDisplayFrequency(command, planFile)) >= 0;
}

} // namespace

int runTotalsCommand(const QStringList &args)
{
    const QString command = QStringLiteral("totals");
    Arguments arguments;
    if (const std::optional<int> stop = readArguments(command, args, arguments))
        return *stop;
    const QString planFile = arguments.positional.at(0);

    Plan plan;
    int frequency = -1;
    if (!loadPlanForTotals(command, arguments, planFile, plan, frequency))
        return kBadInput;

    const PlanTotals totals = computePlanTotals(plan, Frequency::name(frequency), Clock::now());
    return writeOutput(command, (statusBarTexts(totals, MoneyFormat::currencySymbol()).join(u'\n') + u'\n').toUtf8());
}

namespace {

// The plan's backups, newest first; after reporting it, nothing when it has none.
std::optional<QList<PlanBackups::Backup>> backupsOf(const QString &command, const QString &planFile)
{
    const QList<PlanBackups::Backup> backups = PlanBackups::list(ProgramFolders::backupsFolder(), planFile);
    if (backups.isEmpty()) {
        fail(command,
             QStringLiteral("\"%1\" has no backups (one is kept each time a save replaces the plan)").arg(planFile));
        return std::nullopt;
    }
    return backups;
}

} // namespace

// One line a backup, numbered from 1, newest first: when the save that
// replaced it ran, its number of items and its balance a month.
int runBackupsCommand(const QStringList &args)
{
    const QString command = QStringLiteral("backups");
    Arguments arguments;
    if (const std::optional<int> stop = readArguments(command, args, arguments))
        return *stop;
    const std::optional<QList<PlanBackups::Backup>> backups = backupsOf(command, arguments.positional.at(0));
    if (!backups)
        return kBadInput;
    QString text;
    for (qsizetype i = 0; i < backups->size(); ++i)
        text +=
            QString::number(i + 1) + QStringLiteral("  ") + PlanBackups::describe(backups->at(i), Clock::now()) + u'\n';
    return writeOutput(command, text.toUtf8());
}

// Puts backup N back in place of the plan, which becomes the newest backup in turn.
int runRestoreCommand(const QStringList &args)
{
    const QString command = QStringLiteral("restore");
    Arguments arguments;
    if (const std::optional<int> stop = readArguments(command, args, arguments))
        return *stop;
    const QString planFile = arguments.positional.at(0);
    const std::optional<QList<PlanBackups::Backup>> backups = backupsOf(command, planFile);
    if (!backups)
        return kBadInput;
    bool ok = false;
    const int number = arguments.positional.at(1).toInt(&ok);
    if (!ok || number < 1 || number > backups->size())
        return fail(command,
                    QStringLiteral("there is no backup %1 of \"%2\": give a number from 1 to %3 (see "
                                   "pursekeep-cli backups)")
                        .arg(arguments.positional.at(1), planFile)
                        .arg(backups->size()));
    Plan plan;
    int frequency = 2;
    try {
        frequency = PlanBackups::load(backups->at(number - 1), plan);
    } catch (const PlanFileError &e) {
        return fail(command, e.message());
    }
    if (Frequency::name(frequency).isEmpty())
        frequency = 2;
    return writePlan(command, plan, planFile, frequency);
}

namespace {

constexpr int kMostDueDays = 3660; // ten years

// --days N: a whole number of days from 0 to kMostDueDays, 7 when not given;
// -1 after reporting anything else.
int dueDaysOption(const QString &command, const Arguments &arguments)
{
    if (!arguments.options.contains(QStringLiteral("days")))
        return 7;
    const QString text = arguments.options.value(QStringLiteral("days"));
    bool ok = false;
    const int days = text.toInt(&ok);
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!ok || !digits.match(text).hasMatch() || days > kMostDueDays) {
        fail(command,
             QStringLiteral("--days needs a whole number of days from 0 to %1, not '%2'").arg(kMostDueDays).arg(text));
        return -1;
    }
    return days;
}

// A text as one field of a tab-separated line: a tab or a line break (CR LF
// among them) is one space.
QString field(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\t', u' ');
    return oneLine(text);
}

} // namespace

// The reminders falling due from today to today + N days, one a line:
// yyyy-MM-dd, kind, category, item, description, separated by tabs.
int runDueCommand(const QStringList &args)
{
    const QString command = QStringLiteral("due");
    Arguments arguments;
    if (const std::optional<int> stop = readArguments(command, args, arguments))
        return *stop;
    const int days = dueDaysOption(command, arguments);
    if (days < 0 || !todayOption(command, arguments))
        return kBadInput;
    Plan plan;
    if (!loadExistingPlan(command, arguments.positional.at(0), plan))
        return kBadInput;

    QString text;
    for (const DueReminders::Due &due : DueReminders::within(plan, Clock::today(), days))
        text += QStringList{due.date.toString(Qt::ISODate), field(due.kind), field(due.cat), field(due.item),
                            field(due.desc)}
                    .join(u'\t')
            + u'\n';
    return writeOutput(command, text.toUtf8());
}

namespace {

// Writes a laid-out report as a PDF file, or to standard output for "-": 0, or
// kWriteFailed after reporting the system's reason (the previous file, if any,
// is left as it was).
int writeReport(const QString &command, const ReportLayout &layout, const QString &pdfFile)
{
    if (CommandLine::isStandardStream(pdfFile))
        return writeOutput(command, ReportPainter::pdfBytes(layout));
    try {
        ReportPainter::writePdf(layout, pdfFile);
    } catch (const FileWriteError &e) {
        return fail(command, e.message(), kWriteFailed);
    }
    return 0;
}

int runPlanReport(const QStringList &args)
{
    const QString command = QStringLiteral("report plan");
    Arguments arguments;
    if (const std::optional<int> stop = readArguments(command, args, arguments))
        return *stop;
    const QString planFile = arguments.positional.at(0);
    const QString pdfFile = arguments.options.value(QStringLiteral("pdf"));
    if (pdfFile.isEmpty())
        return fail(command, QStringLiteral("--pdf FILE is needed"));
    Plan plan;
    int frequency = -1;
    if (!loadPlanForTotals(command, arguments, planFile, plan, frequency))
        return kBadInput;

    PlanReportInput input;
    input.plan = &plan;
    input.displayFrequencyName = Frequency::name(frequency);
    input.totals = computePlanTotals(plan, input.displayFrequencyName, Clock::now());
    input.cursymbol = MoneyFormat::currencySymbol();
    input.planfile = planFile;
    // The folder the program keeps its own files in, as the window's print names it.
    input.programFolder =
        QDir::toNativeSeparators(ProgramFolders::writableFolder(QCoreApplication::applicationDirPath()));
    input.today = Clock::today();
    return writeReport(command, PlanReport(input).layout(), pdfFile);
}

int runRemindersReport(const QStringList &args)
{
    const QString command = QStringLiteral("report reminders");
    Arguments arguments;
    if (const std::optional<int> stop = readArguments(command, args, arguments))
        return *stop;
    const QString planFile = arguments.positional.at(0);
    const QString pdfFile = arguments.options.value(QStringLiteral("pdf"));
    if (pdfFile.isEmpty())
        return fail(command, QStringLiteral("--pdf FILE is needed"));
    const QString kind = arguments.options.value(QStringLiteral("kind"));
    if (kind != Kind::Income && kind != Kind::Expense)
        return fail(command, QStringLiteral("--kind needs I (income) or E (expense), not '%1'").arg(kind));
    int month = 0;
    if (arguments.options.contains(QStringLiteral("month"))) {
        const QString text = arguments.options.value(QStringLiteral("month"));
        bool ok = false;
        month = text.toInt(&ok);
        if (!ok || month < 1 || month > 12)
            return fail(command, QStringLiteral("--month needs a month number 1 to 12, not '%1'").arg(text));
    }

    Plan plan;
    if (!loadExistingPlan(command, planFile, plan))
        return kBadInput;
    // The reminders as the reminders page shows them: every row of the plan
    // (no link to the items) through the page's filter.
    Table &reminders = plan.reminders();
    reminders.setLinkActive(false);
    reminders.setFilter(RemindersReport::filterFor(kind, month));
    reminders.setFiltered(true);
    return writeReport(command, RemindersReport(plan, RemindersReport::titleFor(kind, month)).layout(), pdfFile);
}

} // namespace

int runReportCommand(const QStringList &args)
{
    const QString which = args.value(0);
    if (which == QLatin1String("--help") || which == QLatin1String("-h")) {
        CommandLine::print(CommandLine::commandHelp(QStringLiteral("report")));
        return 0;
    }
    if (which == QLatin1String("plan"))
        return runPlanReport(args.mid(1));
    if (which == QLatin1String("reminders"))
        return runRemindersReport(args.mid(1));
    if (which == QLatin1String("loan"))
        return runLoanReportCommand(args.mid(1));
    return fail(QStringLiteral("report"),
                QStringLiteral("give plan, reminders or loan (run pursekeep-cli without "
                               "arguments for the usage)"));
}

#include "LoanCommand.h"

#include "loancalc/LoanPage.h"
#include "loancalc/LoanTextFile.h"
#include "plan/Clock.h"
#include "plan/FileWriter.h"
#include "reports/LoanReport.h"
#include "reports/ReportPainter.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// The options of the page's inputs and calculations, shared by `loan` and
// `report loan`.
const QStringList pageOptions = {
    QStringLiteral("principal"), QStringLiteral("years"),   QStringLiteral("rate"),
    QStringLiteral("payment2"),  QStringLiteral("payment3"), QStringLiteral("balance"),
    QStringLiteral("today"),
};

int fail(const QString &message, int status)
{
    QTextStream(stderr) << message << '\n';
    return status;
}

// "--name value" or "--name=value"; a later repeat replaces an earlier one.
bool parseOptions(const QString &command, const QStringList &args, const QStringList &knownOptions,
                  QHash<QString, QString> &options, QString &error)
{
    for (qsizetype a = 0; a < args.size(); ++a) {
        const QString &arg = args[a];
        if (!arg.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("pursekeep-cli %1: unexpected argument '%2'").arg(command, arg);
            return false;
        }
        QString name = arg.mid(2);
        QString value;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        } else if (a + 1 < args.size()) {
            value = args[++a];
        } else {
            error = QStringLiteral("pursekeep-cli %1: --%2 needs a value").arg(command, name);
            return false;
        }
        if (!knownOptions.contains(name)) {
            error = QStringLiteral("pursekeep-cli %1: unknown option --%2").arg(command, name);
            return false;
        }
        options.insert(name, value);
    }
    return true;
}

// The length field holds whole years: a number is truncated toward zero, and
// empty, unreadable or out-of-range text reads as 0.
int readYears(const QString &text)
{
    bool ok = false;
    const double value = std::trunc(text.trimmed().toDouble(&ok));
    if (!ok || !(std::fabs(value) <= std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(value);
}

bool writeToStdout(const QByteArray &data)
{
    QFile out;
    return out.open(stdout, QIODevice::WriteOnly) && out.write(data) == data.size() && out.flush();
}

// Reads the options (`pageOptions` plus `extraOptions`) and runs the page's
// calculations as its Calculate buttons would. False after reporting why
// not (exit status 2 then).
bool runLoanPage(const QString &command, const QStringList &args, const QStringList &extraOptions,
                 QHash<QString, QString> &options, LoanPage &page)
{
    auto refuse = [](const QString &message) {
        fail(message, 2);
        return false;
    };
    QString error;
    if (!parseOptions(command, args, pageOptions + extraOptions, options, error))
        return refuse(error);

    if (options.contains(QStringLiteral("today"))) {
        const QDate today = QDate::fromString(options.value(QStringLiteral("today")), Qt::ISODate);
        if (!today.isValid())
            return refuse(QStringLiteral("pursekeep-cli %1: --today needs a date as yyyy-MM-dd").arg(command));
        Clock::set(QDateTime(today, QTime(12, 0)));
    }

    page.principal = LoanPage::readMoney(options.value(QStringLiteral("principal")));
    page.years = readYears(options.value(QStringLiteral("years")));
    // The rate field holds two decimals, like a money field.
    page.rate = LoanPage::readMoney(options.value(QStringLiteral("rate")));
    page.currentBalance = LoanPage::readMoney(options.value(QStringLiteral("balance")));

    LoanPage::Outcome outcome = page.calculate(1);
    if (outcome != LoanPage::Outcome::Done)
        return refuse(page.message(outcome));

    for (int k = 2; k <= 3; ++k) {
        const QString option = QStringLiteral("payment%1").arg(k);
        if (!options.contains(option))
            continue;
        page.calculations[static_cast<size_t>(k - 1)].payment = LoanPage::readMoney(options.value(option));
        outcome = page.calculate(k);
        if (outcome == LoanPage::Outcome::TooLow)
            QTextStream(stderr) << page.message(outcome) << '\n';
        else if (outcome != LoanPage::Outcome::Done)
            return refuse(page.message(outcome));
    }
    return true;
}

} // namespace

int runLoanCommand(const QStringList &args)
{
    QHash<QString, QString> options;
    QString error;
    LoanPage page;
    if (!runLoanPage(QStringLiteral("loan"), args, {QStringLiteral("output")}, options, page))
        return 2;

    if (options.contains(QStringLiteral("output"))) {
        if (!LoanTextFile::write(options.value(QStringLiteral("output")), page, &error))
            return fail(error, 1);
    } else if (!writeToStdout(LoanTextFile::bytes(page, Clock::today()))) {
        return fail(QStringLiteral("pursekeep-cli loan: cannot write to standard output"), 1);
    }
    return 0;
}

int runLoanReportCommand(const QStringList &args)
{
    const QString command = QStringLiteral("report loan");
    QHash<QString, QString> options;
    LoanPage page;
    if (!runLoanPage(command, args, {QStringLiteral("pdf")}, options, page))
        return 2;
    const QString pdfFile = options.value(QStringLiteral("pdf"));
    if (pdfFile.isEmpty())
        return fail(QStringLiteral("pursekeep-cli %1: --pdf FILE is needed").arg(command), 2);

    const LoanReport report(LoanReport::fromPage(page, Clock::today()));
    if (report.refusal() != LoanReport::Refusal::None)
        return fail(report.message(), 2);
    try {
        ReportPainter::writePdf(report.layout(), pdfFile);
    } catch (const FileWriteError &e) {
        return fail(QStringLiteral("pursekeep-cli %1: %2").arg(command, e.message()), 1);
    }
    return 0;
}

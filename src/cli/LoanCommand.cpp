#include "LoanCommand.h"
#include "CommandLine.h"

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
#include <optional>

namespace {

int fail(const QString &message, int status)
{
    QTextStream(stderr) << message << '\n';
    return status;
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

// Reads the command's options and runs the page's calculations as its
// Calculate buttons would. Nothing when they ran; otherwise the exit status:
// 0 when the command's help was shown, 2 after reporting why not.
std::optional<int> runLoanPage(const QString &command, const QStringList &args, QHash<QString, QString> &options,
                               LoanPage &page)
{
    auto refuse = [](const QString &message) {
        return std::optional<int>(fail(message, 2));
    };
    CommandLine::Arguments arguments;
    switch (CommandLine::parse(*CommandLine::find(command), args, arguments)) {
    case CommandLine::Outcome::Run:
        break;
    case CommandLine::Outcome::HelpShown:
        return 0;
    case CommandLine::Outcome::Refused:
        return 2;
    }
    options = arguments.options;

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
        if (outcome == LoanPage::Outcome::TooLow || outcome == LoanPage::Outcome::OnePayment)
            QTextStream(stderr) << page.message(outcome) << '\n';
        else if (outcome != LoanPage::Outcome::Done)
            return refuse(page.message(outcome));
    }
    return std::nullopt;
}

} // namespace

int runLoanCommand(const QStringList &args)
{
    QHash<QString, QString> options;
    QString error;
    LoanPage page;
    if (const std::optional<int> stop = runLoanPage(QStringLiteral("loan"), args, options, page))
        return *stop;

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
    if (const std::optional<int> stop = runLoanPage(command, args, options, page))
        return *stop;
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

#include "LoanCommand.h"
#include "CommandLine.h"

#include "loancalc/LoanPage.h"
#include "loancalc/LoanTextFile.h"
#include "plan/Clock.h"
#include "plan/FileWriter.h"
#include "reports/LoanReport.h"
#include "reports/ReportPainter.h"

#include <QDate>
#include <QHash>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

int fail(const QString &command, const QString &message, int status)
{
    QTextStream(stderr) << "pursekeep-cli " << command << ": " << message << '\n';
    return status;
}

// The option's text as a number, or nothing after reporting it. Money and the
// rate are read as the page's fields read them (to two decimals); a text that
// is not a number is refused rather than taken as 0.
std::optional<double> numberOption(const QString &command, const QHash<QString, QString> &options, const QString &name)
{
    const QString text = options.value(name);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    fail(command, QStringLiteral("--%1: '%2' is not a number").arg(name, text), 2);
    return std::nullopt;
}

// The length of the loan in whole years: "5.5" is refused, and a length far
// past any the calculator takes stays far past it.
std::optional<int> yearsOption(const QString &command, const QHash<QString, QString> &options)
{
    const QString name = QStringLiteral("years");
    const std::optional<double> value = numberOption(command, options, name);
    if (!value)
        return std::nullopt;
    if (*value != std::trunc(*value)) {
        fail(command, QStringLiteral("--%1: '%2' is not a whole number of years").arg(name, options.value(name)), 2);
        return std::nullopt;
    }
    constexpr double most = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(*value, -most, most));
}

// The option a refusal of the page is about: the loan's own inputs, or the
// payment proposed for calculation k.
QString optionOf(LoanPage::Outcome outcome, int k)
{
    switch (outcome) {
    case LoanPage::Outcome::NoPrincipal: return QStringLiteral("principal");
    case LoanPage::Outcome::NoLength:
    case LoanPage::Outcome::TooLong: return QStringLiteral("years");
    case LoanPage::Outcome::NoRate: return QStringLiteral("rate");
    default: return QStringLiteral("payment%1").arg(k);
    }
}

// Reads the command's options and runs the page's calculations as its
// Calculate buttons would. Nothing when they ran; otherwise the exit status:
// 0 when the command's help was shown, 2 after reporting why not. A payment
// that gives no schedule (too low to repay the loan, or more than the whole
// loan) is refused like any other input the page refuses.
std::optional<int> runLoanPage(const QString &command, const QStringList &args, QHash<QString, QString> &options,
                               LoanPage &page)
{
    CommandLine::Arguments arguments;
    switch (CommandLine::parse(*CommandLine::find(command), args, arguments)) {
    case CommandLine::Outcome::Run: break;
    case CommandLine::Outcome::HelpShown: return 0;
    case CommandLine::Outcome::Refused: return 2;
    }
    options = arguments.options;

    if (options.contains(QStringLiteral("today"))) {
        const QString text = options.value(QStringLiteral("today"));
        const QDate today = QDate::fromString(text, Qt::ISODate);
        if (text.size() != 10 || !today.isValid())
            return fail(command, QStringLiteral("--today needs a date as yyyy-MM-dd, not '%1'").arg(text), 2);
        Clock::set(QDateTime(today, QTime(12, 0)));
    }

    // Every number given is read before any calculation runs.
    QHash<QString, double> money;
    for (const char *name : {"principal", "rate", "balance", "payment2", "payment3"}) {
        const QString option = QString::fromLatin1(name);
        if (!options.contains(option))
            continue;
        if (!numberOption(command, options, option))
            return 2;
        money.insert(option, LoanPage::readMoney(options.value(option)));
    }
    if (options.contains(QStringLiteral("years"))) {
        const std::optional<int> years = yearsOption(command, options);
        if (!years)
            return 2;
        page.years = *years;
    }
    page.principal = money.value(QStringLiteral("principal"));
    page.rate = money.value(QStringLiteral("rate"));
    page.currentBalance = money.value(QStringLiteral("balance"));

    const auto refuse = [&](LoanPage::Outcome outcome, int k) {
        return std::optional<int>(
            fail(command, QStringLiteral("--%1: %2").arg(optionOf(outcome, k), page.message(outcome)), 2));
    };
    LoanPage::Outcome outcome = page.calculate(1);
    if (outcome != LoanPage::Outcome::Done)
        return refuse(outcome, 1);

    for (int k = 2; k <= 3; ++k) {
        const QString option = QStringLiteral("payment%1").arg(k);
        if (!options.contains(option))
            continue;
        page.calculations[static_cast<size_t>(k - 1)].payment = money.value(option);
        outcome = page.calculate(k);
        if (outcome != LoanPage::Outcome::Done)
            return refuse(outcome, k);
    }
    return std::nullopt;
}

} // namespace

int runLoanCommand(const QStringList &args)
{
    const QString command = QStringLiteral("loan");
    QHash<QString, QString> options;
    LoanPage page;
    if (const std::optional<int> stop = runLoanPage(command, args, options, page))
        return *stop;

    const QString output = options.value(QStringLiteral("output"), QStringLiteral("-"));
    if (CommandLine::isStandardStream(output)) {
        if (!CommandLine::writeOutput(LoanTextFile::bytes(page, Clock::today())))
            return fail(command, QStringLiteral("cannot write to standard output"), 1);
        return 0;
    }
    QString error;
    if (!LoanTextFile::write(output, page, &error))
        return fail(command, error, 1);
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
        return fail(command, QStringLiteral("--pdf FILE is needed"), 2);

    const LoanReport report(LoanReport::fromPage(page, Clock::today()));
    if (report.refusal() != LoanReport::Refusal::None)
        return fail(command, report.message(), 2);
    if (CommandLine::isStandardStream(pdfFile)) {
        if (!CommandLine::writeOutput(ReportPainter::pdfBytes(report.layout())))
            return fail(command, QStringLiteral("cannot write to standard output"), 1);
        return 0;
    }
    try {
        ReportPainter::writePdf(report.layout(), pdfFile);
    } catch (const FileWriteError &e) {
        return fail(command, e.message(), 1);
    }
    return 0;
}

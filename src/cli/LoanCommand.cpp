#include "LoanCommand.h"

#include "loancalc/LoanPage.h"
#include "loancalc/LoanTextFile.h"
#include "plan/Clock.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

const QStringList knownOptions = {
    QStringLiteral("principal"), QStringLiteral("years"),   QStringLiteral("rate"),
    QStringLiteral("payment2"),  QStringLiteral("payment3"), QStringLiteral("balance"),
    QStringLiteral("today"),     QStringLiteral("output"),
};

int fail(const QString &message, int status)
{
    QTextStream(stderr) << message << '\n';
    return status;
}

// "--name value" or "--name=value"; a later repeat replaces an earlier one.
bool parseOptions(const QStringList &args, QHash<QString, QString> &options, QString &error)
{
    for (qsizetype a = 0; a < args.size(); ++a) {
        const QString &arg = args[a];
        if (!arg.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("pursekeep-cli loan: unexpected argument '%1'").arg(arg);
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
            error = QStringLiteral("pursekeep-cli loan: --%1 needs a value").arg(name);
            return false;
        }
        if (!knownOptions.contains(name)) {
            error = QStringLiteral("pursekeep-cli loan: unknown option --%1").arg(name);
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

} // namespace

int runLoanCommand(const QStringList &args)
{
    QHash<QString, QString> options;
    QString error;
    if (!parseOptions(args, options, error))
        return fail(error, 2);

    if (options.contains(QStringLiteral("today"))) {
        const QDate today = QDate::fromString(options.value(QStringLiteral("today")), Qt::ISODate);
        if (!today.isValid())
            return fail(QStringLiteral("pursekeep-cli loan: --today needs a date as yyyy-MM-dd"), 2);
        Clock::set(QDateTime(today, QTime(12, 0)));
    }

    LoanPage page;
    page.principal = LoanPage::readMoney(options.value(QStringLiteral("principal")));
    page.years = readYears(options.value(QStringLiteral("years")));
    // The rate field holds two decimals, like a money field.
    page.rate = LoanPage::readMoney(options.value(QStringLiteral("rate")));
    page.currentBalance = LoanPage::readMoney(options.value(QStringLiteral("balance")));

    LoanPage::Outcome outcome = page.calculate(1);
    if (outcome != LoanPage::Outcome::Done)
        return fail(page.message(outcome), 2);

    for (int k = 2; k <= 3; ++k) {
        const QString option = QStringLiteral("payment%1").arg(k);
        if (!options.contains(option))
            continue;
        page.calculations[static_cast<size_t>(k - 1)].payment = LoanPage::readMoney(options.value(option));
        outcome = page.calculate(k);
        if (outcome == LoanPage::Outcome::TooLow)
            QTextStream(stderr) << page.message(outcome) << '\n';
        else if (outcome != LoanPage::Outcome::Done)
            return fail(page.message(outcome), 2);
    }

    if (options.contains(QStringLiteral("output"))) {
        if (!LoanTextFile::write(options.value(QStringLiteral("output")), page, &error))
            return fail(error, 1);
    } else if (!writeToStdout(LoanTextFile::bytes(page, Clock::today()))) {
        return fail(QStringLiteral("pursekeep-cli loan: cannot write to standard output"), 1);
    }
    return 0;
}

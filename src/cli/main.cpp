#include "LoanCommand.h"
#include "PlanCommands.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

static int usage()
{
    QTextStream(stderr)
        << "usage:\n"
           "  pursekeep-cli import DIR PLAN [--frequency NAME]\n"
           "  pursekeep-cli export PLAN DIR\n"
           "  pursekeep-cli totals PLAN [--frequency NAME] [--today yyyy-MM-dd]\n"
           "  pursekeep-cli loan --principal P --years Y --rate R [--payment2 X] [--payment3 Z]\n"
           "                     [--balance B] [--today yyyy-MM-dd] [--output FILE]\n";
    return 2;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    if (command == "import")
        return runImportCommand(args);
    if (command == "export")
        return runExportCommand(args);
    if (command == "totals")
        return runTotalsCommand(args);
    if (command == "loan")
        return runLoanCommand(args);
    return usage();
}

#include "LoanCommand.h"
#include "PlanCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>
#include <memory>

static int usage()
{
    QTextStream(stderr)
        << "usage:\n"
           "  pursekeep-cli import DIR PLAN [--frequency NAME]\n"
           "  pursekeep-cli export PLAN DIR\n"
           "  pursekeep-cli totals PLAN [--frequency NAME] [--today yyyy-MM-dd]\n"
           "  pursekeep-cli loan --principal P --years Y --rate R [--payment2 X] [--payment3 Z]\n"
           "                     [--balance B] [--today yyyy-MM-dd] [--output FILE]\n"
           "  pursekeep-cli report plan PLAN --pdf FILE [--frequency NAME] [--today yyyy-MM-dd]\n"
           "  pursekeep-cli report reminders PLAN --kind I|E [--month 1..12] --pdf FILE\n"
           "  pursekeep-cli report loan --principal P --years Y --rate R [--payment2 X] [--payment3 Z]\n"
           "                            [--balance B] [--today yyyy-MM-dd] --pdf FILE\n";
    return 2;
}

int main(int argc, char *argv[])
{
    // The reports measure and draw text, which needs the fonts of a GUI
    // application; no screen is needed for that.
    const bool report = argc > 1 && qstrcmp(argv[1], "report") == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app(report ? new QGuiApplication(argc, argv) : new QCoreApplication(argc, argv));
    QStringList args = app->arguments().mid(1);
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
    if (command == "report")
        return runReportCommand(args);
    return usage();
}

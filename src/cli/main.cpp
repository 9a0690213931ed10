#include "CommandLine.h"
#include "LoanCommand.h"
#include "PlanCommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <csignal>
#include <memory>

namespace {

// The program's own options before the command: --help and --version.
// Anything from the first argument that is not an option on belongs to the
// command.
int runProgram(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QString());
    if (!parser.parse(QStringList{QStringLiteral("pursekeep-cli")} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        CommandLine::printError(QStringLiteral("pursekeep-cli: %1 (run pursekeep-cli --help for the usage)")
                                    .arg(unknown.isEmpty() ? parser.errorText()
                                                           : QStringLiteral("unknown option ")
                                                 + CommandLine::spelling(unknown.constFirst(), args)));
        return 2;
    }
    if (parser.isSet(help)) {
        CommandLine::print(CommandLine::programHelp());
        return 0;
    }
    if (parser.isSet(version)) {
        CommandLine::print(CommandLine::versionText());
        return 0;
    }

    QStringList rest = parser.positionalArguments();
    if (rest.isEmpty()) {
        QTextStream(stderr) << CommandLine::programHelp();
        return 2;
    }
    const QString command = rest.takeFirst();
    if (command == QLatin1String("help")) {
        if (rest.isEmpty()) {
            CommandLine::print(CommandLine::programHelp());
            return 0;
        }
        const QString text = CommandLine::commandHelp(rest.join(u' '));
        if (text.isEmpty()) {
            CommandLine::printError(QStringLiteral("pursekeep-cli help: there is no command '%1' (run pursekeep-cli "
                                                   "--help for the list)")
                                        .arg(rest.join(u' ')));
            return 2;
        }
        CommandLine::print(text);
        return 0;
    }
    if (command == "import")
        return runImportCommand(rest);
    if (command == "export")
        return runExportCommand(rest);
    if (command == "totals")
        return runTotalsCommand(rest);
    if (command == "backups")
        return runBackupsCommand(rest);
    if (command == "restore")
        return runRestoreCommand(rest);
    if (command == "due")
        return runDueCommand(rest);
    if (command == "loan")
        return runLoanCommand(rest);
    if (command == "report")
        return runReportCommand(rest);
    CommandLine::printError(
        QStringLiteral("pursekeep-cli: there is no command '%1' (run pursekeep-cli --help for the list)").arg(command));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    // Past a file-size limit a write fails with its reason ("File too
    // large"), which the writer reports, instead of the signal ending us.
    std::signal(SIGXFSZ, SIG_IGN);
    // The reports measure and draw text, which needs the fonts of a GUI
    // application; no screen is needed for that.
    const bool report = argc > 1 && qstrcmp(argv[1], "report") == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app(report ? new QGuiApplication(argc, argv) : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationVersion(QStringLiteral(PURSEKEEP_VERSION));
    return runProgram(app->arguments().mid(1));
}

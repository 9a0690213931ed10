#include "ProgramArguments.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace ProgramArguments {

namespace {

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version.")};

    Parser()
    {
        parser.setApplicationDescription(
            QStringLiteral("Kavo Pursekeep plans a household budget. The plans named open in their order, the last "
                           "one active; without any, the start-up plan opens."));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(help);
        parser.addOption(version);
        parser.addPositionalArgument(QStringLiteral("PLAN"), QStringLiteral("A plan file to open (home.pkb)."),
                                     QStringLiteral("[PLAN...]"));
    }
};

} // namespace

QString helpText()
{
    Parser p;
    QString text = p.parser.helpText();
    // The usage line names the program, not the path it was started by.
    const qsizetype start = text.indexOf(QLatin1String("Usage: "));
    const qsizetype end = start < 0 ? -1 : text.indexOf(u' ', start + 7);
    if (end > 0)
        text.replace(start + 7, end - start - 7, QStringLiteral("pursekeep"));
    return text;
}

std::optional<int> answerWithoutScreen(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Parser p;
    // Qt's own options are unknown here; they do not stop --help.
    p.parser.parse(arguments);
    if (p.parser.isSet(p.help)) {
        QTextStream(stdout) << helpText();
        return 0;
    }
    if (p.parser.isSet(p.version)) {
        QTextStream(stdout) << "pursekeep " << PURSEKEEP_VERSION << '\n';
        return 0;
    }
    return std::nullopt;
}

bool plans(const QStringList &arguments, QStringList &plans)
{
    Parser p;
    if (!p.parser.parse(arguments)) {
        const QStringList unknown = p.parser.unknownOptionNames();
        const QString name = unknown.isEmpty() ? QString() : unknown.constFirst();
        const QString written = arguments.contains(u'-' + name) ? u'-' + name : QStringLiteral("--") + name;
        QTextStream(stderr) << "pursekeep: "
                            << (unknown.isEmpty() ? p.parser.errorText() : QStringLiteral("unknown option ") + written)
                            << " (run pursekeep --help for the usage)\n";
        return false;
    }
    plans = p.parser.positionalArguments();
    return true;
}

} // namespace ProgramArguments

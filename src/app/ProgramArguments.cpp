#include "ProgramArguments.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <algorithm>
#include <iterator>

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

// Qt's own options, one or two dashes (Qt 6.4, QGuiApplication, QApplication
// and the X11 and Wayland platforms): those followed by a value, those
// standing alone, and those written with '=' and their value.
constexpr const char *kQtOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "geometry",
    "qwindowtitle",
    "title",
    "qwindowicon",
    "icon",
    "session",
    "style",
    "stylesheet",
    "display",
    "name",
    "visual",
};
constexpr const char *kQtOptionsAlone[] = {"reverse", "testability", "widgetcount", "nograb", "dograb"};
constexpr const char *kQtOptionsWithEquals[] = {"style=", "stylesheet=", "qmljsdebugger="};

// The option's name without its dashes; empty for an argument that is not
// an option (a plan, "-" or "--").
QString optionName(const QString &argument)
{
    if (argument.size() < 2 || argument.at(0) != u'-')
        return {};
    return argument.mid(argument.at(1) == u'-' ? 2 : 1);
}

template <size_t N>
bool listed(const char *const (&names)[N], const QString &name)
{
    return std::any_of(std::begin(names), std::end(names), [&](const char *n) { return name == QLatin1String(n); });
}

// The one-line message for arguments the parser refused.
void reportRefused(const Parser &p, const QStringList &arguments)
{
    const QStringList unknown = p.parser.unknownOptionNames();
    const QString name = unknown.isEmpty() ? QString() : unknown.constFirst();
    const QString written = arguments.contains(u'-' + name) ? u'-' + name : QStringLiteral("--") + name;
    QTextStream(stderr) << "pursekeep: "
                        << (unknown.isEmpty() ? p.parser.errorText() : QStringLiteral("unknown option ") + written)
                        << " (run pursekeep --help for the usage)\n";
}

} // namespace

QStringList withoutQtOptions(const QStringList &arguments)
{
    QStringList out;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString name = i == 0 ? QString() : optionName(arguments.at(i));
        if (!name.isEmpty() && listed(kQtOptionsWithValue, name) && i + 1 < arguments.size()) {
            ++i; // and its value
            continue;
        }
        if (!name.isEmpty()
            && (listed(kQtOptionsAlone, name)
                || std::any_of(std::begin(kQtOptionsWithEquals), std::end(kQtOptionsWithEquals),
                               [&](const char *prefix) { return name.startsWith(QLatin1String(prefix)); })))
            continue;
        out << arguments.at(i);
    }
    return out;
}

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
    // Connecting to a screen that is not there ends the program at once; a
    // mistaken option is told first. An option that Qt takes only on some
    // platforms (-geometry on X11) is let through here and judged by plans().
    Parser strict;
    const QStringList ours = withoutQtOptions(arguments);
    if (!strict.parser.parse(ours)) {
        reportRefused(strict, ours);
        return 2;
    }
    return std::nullopt;
}

bool plans(const QStringList &arguments, QStringList &plans)
{
    Parser p;
    if (!p.parser.parse(arguments)) {
        reportRefused(p, arguments);
        return false;
    }
    plans = p.parser.positionalArguments();
    return true;
}

} // namespace ProgramArguments

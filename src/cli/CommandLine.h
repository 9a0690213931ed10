#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The commands of pursekeep-cli, their arguments and options, read with
// QCommandLineParser. Each command's help (`pursekeep-cli help COMMAND`,
// `pursekeep-cli COMMAND --help`) and the program's help are made from the
// same descriptions the arguments are read with.
namespace CommandLine {

struct Option
{
    QString name; // "frequency", given as --frequency NAME or --frequency=NAME
    QString valueName; // "NAME"
    QString description;
};

struct Positional
{
    QString name; // "PLAN"
    QString description;
};

struct Command
{
    QString name; // "import", "report plan"
    QString summary; // one line for the program's help
    QString description; // what the command does, for its own help
    QList<Positional> positional;
    QList<Option> options;
};

// Every command in the order the help lists them.
const QList<Command> &commands();
// The command of that name ("report plan"), or null.
const Command *find(const QString &name);

QString programHelp();
QString commandHelp(const Command &command);
// The help of the command of that name, or of every command under a first
// word ("report"); empty when there is none.
QString commandHelp(const QString &name);
// An unknown option as it was written: "-x" or "--x".
QString spelling(const QString &unknownName, const QStringList &args);
QString versionText();

struct Arguments
{
    QStringList positional;
    QHash<QString, QString> options; // a repeated option: its last value
};

enum class Outcome { Run, HelpShown, Refused };

// Reads the arguments after the command's words. --help prints the command's
// help to standard output (HelpShown); an unknown option, an option without
// its value or the wrong number of arguments is reported on standard error
// as "pursekeep-cli COMMAND: what is wrong" (Refused, exit status 2).
Outcome parse(const Command &command, const QStringList &args, Arguments &out);

// Writes text to standard output or standard error as it stands.
void print(const QString &text);
void printError(const QString &line);
// Writes bytes to standard output as they are; false when they could not all
// be written (a full disk, a closed pipe).
bool writeOutput(const QByteArray &bytes);

// A FILE given as "-" is standard output.
inline bool isStandardStream(const QString &path)
{
    return path == QLatin1String("-");
}

} // namespace CommandLine

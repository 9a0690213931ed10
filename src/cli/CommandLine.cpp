#include "CommandLine.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>

namespace CommandLine {

namespace {

const QString kProgram = QStringLiteral("pursekeep-cli");

const Option kFrequency{QStringLiteral("frequency"), QStringLiteral("NAME"),
                        QStringLiteral("Daily, Weekly, Fortnightly, Monthly, Quarterly or Yearly, exactly so "
                                       "written")};
const Option kToday{QStringLiteral("today"), QStringLiteral("yyyy-MM-dd"),
                    QStringLiteral("The day taken as today (default: today).")};
const Option kPdf{QStringLiteral("pdf"), QStringLiteral("FILE"),
                  QStringLiteral("The PDF file to write, - for standard output (needed).")};

QList<Option> loanOptions()
{
    return {
        {QStringLiteral("principal"), QStringLiteral("P"), QStringLiteral("The amount borrowed.")},
        {QStringLiteral("years"), QStringLiteral("Y"), QStringLiteral("The length of the loan in whole years.")},
        {QStringLiteral("rate"), QStringLiteral("R"), QStringLiteral("The yearly interest rate in per cent.")},
        {QStringLiteral("payment2"), QStringLiteral("X"),
         QStringLiteral("A monthly payment to propose: the second calculation gives its number of payments.")},
        {QStringLiteral("payment3"), QStringLiteral("Z"), QStringLiteral("The same for the third calculation.")},
        {QStringLiteral("balance"), QStringLiteral("B"),
         QStringLiteral("The plan's monthly balance the payments are set against.")},
        kToday,
    };
}

QList<Command> makeCommands()
{
    const QString frequencyDefault = QStringLiteral(" (default: Fortnightly)");
    QList<Command> list;
    list << Command{QStringLiteral("import"),
                    QStringLiteral("Build a plan from CSV files."),
                    QStringLiteral("Builds the plan PLAN from the CSV files in DIR (items.csv, categories.csv, "
                                   "savings.csv, loans.csv, reminders.csv; a missing file is an empty table). Every "
                                   "row is checked first; nothing is written if any is wrong. A plan already at "
                                   "PLAN is replaced and kept as its newest backup."),
                    {{QStringLiteral("DIR"), QStringLiteral("The folder of the CSV files.")},
                     {QStringLiteral("PLAN"), QStringLiteral("The plan file to write (home.pkb).")}},
                    {{kFrequency.name, kFrequency.valueName,
                      QStringLiteral("The plan's display frequency: ") + kFrequency.description + frequencyDefault}}};
    list << Command{QStringLiteral("export"),
                    QStringLiteral("Write a plan's tables as CSV files."),
                    QStringLiteral("Writes the five tables of PLAN as CSV files into DIR, which is made when "
                                   "missing. The five files replace earlier ones together or not at all."),
                    {{QStringLiteral("PLAN"), QStringLiteral("The plan file to read.")},
                     {QStringLiteral("DIR"), QStringLiteral("The folder to write the CSV files to.")}},
                    {}};
    list << Command{QStringLiteral("totals"),
                    QStringLiteral("Print a plan's totals as the status bar shows them."),
                    QStringLiteral("Prints the plan's income, expenses, savings, loans and balance at the plan's "
                                   "display frequency or the one given."),
                    {{QStringLiteral("PLAN"), QStringLiteral("The plan file to read.")}},
                    {{kFrequency.name, kFrequency.valueName,
                      QStringLiteral("The frequency of the totals: ") + kFrequency.description},
                     kToday}};
    list << Command{QStringLiteral("backups"),
                    QStringLiteral("List a plan's backups, newest first."),
                    QStringLiteral("Lists the backups kept of PLAN, one a line, numbered from 1, newest first: when "
                                   "the save that replaced it ran, its number of items and its balance a month. A "
                                   "backup is kept each time a save replaces the plan, the last 20."),
                    {{QStringLiteral("PLAN"), QStringLiteral("The plan file.")}},
                    {}};
    list << Command{QStringLiteral("restore"),
                    QStringLiteral("Put a backup of a plan back."),
                    QStringLiteral("Puts backup N of PLAN (as pursekeep-cli backups numbers them) in place of the "
                                   "plan, all or nothing; the plan it replaces becomes the newest backup."),
                    {{QStringLiteral("PLAN"), QStringLiteral("The plan file.")},
                     {QStringLiteral("N"), QStringLiteral("The backup's number, 1 for the newest.")}},
                    {}};
    list << Command{QStringLiteral("due"),
                    QStringLiteral("Print the reminders falling due in the next days."),
                    QStringLiteral("Prints the reminders of PLAN falling due from today to today + N days, as the "
                                   "plan window's due-reminders bar finds them: every year on the reminder's day "
                                   "of its month, a day past the end of the month on the month's last day. One a "
                                   "line in date order: yyyy-MM-dd, the kind (I or E), the category, the item and "
                                   "the description, separated by tabs. Nothing is printed when none falls due."),
                    {{QStringLiteral("PLAN"), QStringLiteral("The plan file to read.")}},
                    {{QStringLiteral("days"), QStringLiteral("N"),
                      QStringLiteral("How many days after today to look (default: 7; 0 for today only).")},
                     kToday}};
    list << Command{QStringLiteral("loan"),
                    QStringLiteral("Run the loan calculator and write its text file."),
                    QStringLiteral("Runs the loan calculator's three calculations for one loan and writes the loan "
                                   "calculation text file to FILE or to standard output."),
                    {},
                    loanOptions()
                        + QList<Option>{{QStringLiteral("output"), QStringLiteral("FILE"),
                                         QStringLiteral("The text file to write, - for standard "
                                                        "output (the default).")}}};
    list << Command{QStringLiteral("report plan"),
                    QStringLiteral("Print the plan report to a PDF file."),
                    QStringLiteral("Lays out the plan report as the program prints it (US Letter) and writes it "
                                   "as a PDF file."),
                    {{QStringLiteral("PLAN"), QStringLiteral("The plan file to read.")}},
                    {kPdf,
                     {kFrequency.name, kFrequency.valueName,
                      QStringLiteral("The frequency of the totals: ") + kFrequency.description},
                     kToday}};
    list << Command{
        QStringLiteral("report reminders"),
        QStringLiteral("Print the reminders report to a PDF file."),
        QStringLiteral("Lays out the reminders report of one kind, optionally of one month, and "
                       "writes it as a PDF file."),
        {{QStringLiteral("PLAN"), QStringLiteral("The plan file to read.")}},
        {kPdf,
         {QStringLiteral("kind"), QStringLiteral("I|E"),
          QStringLiteral("I for the income reminders, E for the expense reminders (needed).")},
         {QStringLiteral("month"), QStringLiteral("1..12"), QStringLiteral("Only this month's reminders.")}}};
    list << Command{QStringLiteral("report loan"),
                    QStringLiteral("Print the loan report to a PDF file."),
                    QStringLiteral("Runs the loan calculator's calculations as the loan command does and writes "
                                   "the printed loan report as a PDF file."),
                    {},
                    loanOptions() + QList<Option>{kPdf}};
    return list;
}

void makeParser(const Command &command, QCommandLineParser &parser)
{
    parser.setApplicationDescription(command.description);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(
        QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")));
    for (const Option &option : command.options)
        parser.addOption(QCommandLineOption(option.name, option.description, option.valueName));
    for (const Positional &positional : command.positional)
        parser.addPositionalArgument(positional.name, positional.description);
}

// The parser's help with the program's and the command's name in its usage line.
QString withCommandName(QString text, const QString &command)
{
    const qsizetype start = text.indexOf(QLatin1String("Usage: "));
    if (start >= 0) {
        const qsizetype nameStart = start + 7;
        const qsizetype nameEnd = text.indexOf(u' ', nameStart);
        if (nameEnd > nameStart)
            text.replace(nameStart, nameEnd - nameStart, kProgram + u' ' + command);
    }
    return text;
}

} // namespace

const QList<Command> &commands()
{
    static const QList<Command> list = makeCommands();
    return list;
}

const Command *find(const QString &name)
{
    for (const Command &command : commands())
        if (command.name == name)
            return &command;
    return nullptr;
}

QString versionText()
{
    return kProgram + QStringLiteral(" ") + QStringLiteral(PURSEKEEP_VERSION) + u'\n';
}

QString programHelp()
{
    QString text = QStringLiteral("Usage: %1 COMMAND [ARGUMENTS] [OPTIONS]\n"
                                  "Works on Kavo Pursekeep plan files from a terminal or a script.\n\n"
                                  "Commands:\n")
                       .arg(kProgram);
    for (const Command &command : commands()) {
        QString line = QStringLiteral("  ") + command.name;
        for (const Positional &positional : command.positional)
            line += u' ' + positional.name;
        text += line + QStringLiteral("\n      ") + command.summary + u'\n';
    }
    text += QStringLiteral("\nOptions:\n"
                           "  -h, --help     Show this help.\n"
                           "  -v, --version  Show the version.\n\n"
                           "A FILE given as - is standard output. A PLAN is several files beside each other,\n"
                           "named by its main file (home.pkb); it cannot be -.\n\n"
                           "\"%1 help COMMAND\" or \"%1 COMMAND --help\" describes one command.\n"
                           "Exit status: 0 done, 1 the output could not be written, 2 bad arguments, bad input or "
                           "an unreadable plan (nothing written).\n")
                .arg(kProgram);
    return text;
}

QString commandHelp(const Command &command)
{
    QCommandLineParser parser;
    makeParser(command, parser);
    return withCommandName(parser.helpText(), command.name);
}

QString commandHelp(const QString &name)
{
    if (const Command *command = find(name))
        return commandHelp(*command);
    QStringList helps;
    for (const Command &command : commands())
        if (command.name.startsWith(name + u' '))
            helps << commandHelp(command);
    return helps.join(u'\n');
}

QString spelling(const QString &unknownName, const QStringList &args)
{
    return args.contains(u'-' + unknownName) ? u'-' + unknownName : QStringLiteral("--") + unknownName;
}

Outcome parse(const Command &command, const QStringList &args, Arguments &out)
{
    const auto refuse = [&](const QString &message) {
        printError(QStringLiteral("%1 %2: %3").arg(kProgram, command.name, message));
        return Outcome::Refused;
    };
    QCommandLineParser parser;
    makeParser(command, parser);
    const bool parsed = parser.parse(QStringList{kProgram} + args);
    if (parsed && parser.isSet(QStringLiteral("help"))) {
        print(commandHelp(command));
        return Outcome::HelpShown;
    }
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            return refuse(QStringLiteral("unknown option ") + spelling(unknown.constFirst(), args));
        }
        // The other failure: an option at the end without its value.
        for (const Option &option : command.options)
            if (!args.isEmpty() && args.constLast() == QStringLiteral("--") + option.name)
                return refuse(QStringLiteral("--%1 needs a value").arg(option.name));
        return refuse(parser.errorText());
    }
    for (const Option &option : command.options)
        if (parser.isSet(option.name))
            out.options.insert(option.name, parser.value(option.name));
    out.positional = parser.positionalArguments();
    const qsizetype wanted = command.positional.size();
    if (wanted == 0 && !out.positional.isEmpty())
        return refuse(QStringLiteral("unexpected argument '%1'").arg(out.positional.constFirst()));
    if (out.positional.size() != wanted)
        return refuse(QStringLiteral("expected %1 %2, got %3 (run pursekeep-cli without arguments for the usage)")
                          .arg(wanted)
                          .arg(wanted == 1 ? QStringLiteral("argument") : QStringLiteral("arguments"))
                          .arg(out.positional.size()));
    return Outcome::Run;
}

void print(const QString &text)
{
    QTextStream(stdout) << text;
}

void printError(const QString &line)
{
    QTextStream(stderr) << line << '\n';
}

bool writeOutput(const QByteArray &bytes)
{
    QFile out;
    return out.open(stdout, QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush();
}

} // namespace CommandLine

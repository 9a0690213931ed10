#pragma once
#include <QStringList>
#include <optional>

// The desktop program's command line: `pursekeep [options] [PLAN...]`.
namespace ProgramArguments {

// --help or --version answered on standard output (status 0), before any
// screen is needed; nothing for everything else. Qt's own options (-platform,
// -style, ...) are left to the application.
std::optional<int> answerWithoutScreen(int argc, char *argv[]);

// The plans to open from the application's arguments (Qt's own options
// already taken out). False after a one-line message on standard error for
// an option the program does not know.
bool plans(const QStringList &arguments, QStringList &plans);

QString helpText();

} // namespace ProgramArguments

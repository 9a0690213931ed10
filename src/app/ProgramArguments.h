#pragma once
#include <QStringList>
#include <optional>

// The desktop program's command line: `pursekeep [options] [PLAN...]`.
namespace ProgramArguments {

// Everything that needs no screen, answered before the application connects
// to one: --help or --version on standard output (status 0), and an option
// the program does not know as a one-line message on standard error (status
// 2), so that a mistyped option says so on a machine without a display too.
// Nothing when the program is to start. Qt's own options (-platform, -style,
// ...) are left to the application.
std::optional<int> answerWithoutScreen(int argc, char *argv[]);

// The arguments without Qt's own options and their values, as the
// application takes them out before the program sees them.
QStringList withoutQtOptions(const QStringList &arguments);

// The plans to open from the application's arguments (Qt's own options
// already taken out). False after a one-line message on standard error for
// an option the program does not know.
bool plans(const QStringList &arguments, QStringList &plans);

QString helpText();

} // namespace ProgramArguments

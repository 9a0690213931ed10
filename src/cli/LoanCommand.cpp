#include "LoanCommand.h"
#include <QTextStream>

int runLoanCommand(const QStringList &)
{
    QTextStream(stderr) << "pursekeep-cli: the loan command is not built yet\n";
    return 2;
}

#pragma once
#include <QString>

// The names of the plan window's pages as the plan window, its commands and
// the change routines pass them around: which page a command works on and
// which page a change is shown on.
namespace PageKind {

inline const QString Income = QStringLiteral("income");
inline const QString Expense = QStringLiteral("expense");
inline const QString Savings = QStringLiteral("savings");
inline const QString Loan = QStringLiteral("loan");
inline const QString Reminder = QStringLiteral("reminder");

} // namespace PageKind

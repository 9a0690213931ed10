#pragma once
#include <QDate>
#include <QDateTime>

// The one source of "now" for every routine that depends on the date: totals
// (expired goals, paid loans), savings balances, the loan calculator's date line.
// Tests set a fixed moment; otherwise it is the system clock.
class Clock
{
public:
    static QDateTime now();
    static QDate today();

    // Fix "now" to the given moment (tests, `--today` of the command-line tool).
    static void set(const QDateTime &moment);
    // Back to the system clock.
    static void reset();
};

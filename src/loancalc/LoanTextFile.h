#pragma once
#include <QByteArray>
#include <QDate>
#include <QString>

class LoanPage;
struct ScheduleRow;

// The loan calculation text file: a page's inputs, then for each of its three
// calculations the payment, the number of payments, the totals and the schedule
// as its grid shows it. Written for people; the program never reads it back.
//
// Every line ends with CR LF, the last one too; a blank line is a single space.
// Money is the currency symbol plus "0.00". Schedule cells are left-aligned and
// padded to columns 15, 32, 51 and 72, never cut. The text is written in the
// system's code page, UTF-8 here, without a byte-order mark.
class LoanTextFile
{
public:
    // The whole file as text, dated `today` with the default locale's names.
    static QString text(const LoanPage &page, const QDate &today);
    // text() encoded as it is written to disk.
    static QByteArray bytes(const LoanPage &page, const QDate &today);

    // Replaces `path` with the file for `page`, dated Clock::today(). On failure
    // returns false with a message naming the file and the cause in `error`;
    // the previous file, if any, is left whole.
    static bool write(const QString &path, const LoanPage &page, QString *error);

    // "Monday, June 3, 2024." with the default locale's day and month names.
    static QString dateLine(const QDate &today);
    // One schedule line built from the four cells of a grid row.
    static QString scheduleLine(const ScheduleRow &row);
};

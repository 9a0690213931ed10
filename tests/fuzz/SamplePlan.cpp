#include "SamplePlan.h"
#include "plan/Plan.h"

#include <QDateTime>
#include <limits>

namespace {

QDateTime at(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
}

} // namespace

QStringList fuzzTableNames()
{
    return {"cds_budget", "cds_cat", "cds_savings", "cds_loans", "cds_remind"};
}

Table &planTable(Plan &plan, const QString &tableName)
{
    if (tableName == QLatin1String("cds_cat"))
        return plan.categories();
    if (tableName == QLatin1String("cds_savings"))
        return plan.savings();
    if (tableName == QLatin1String("cds_loans"))
        return plan.loans();
    if (tableName == QLatin1String("cds_remind"))
        return plan.reminders();
    return plan.items();
}

void fillSamplePlan(Plan &plan)
{
    const QVariant null;
    const QString fullWidth50 = QString(49, QLatin1Char('x')) + QChar(0x00E9);
    const QString memo = QStringLiteral("Line one\r\nLine two \u2014 \u00FC\u00DF\n\t\"quoted\" 'single'");

    Table &items = plan.items();
    items.appendRow({"Salary", "Monthly", 3250.5, "Work", "I", ""});
    items.appendRow({QStringLiteral("Caf\u00E9 cr\u00E8me \U0001F600"), "Weekly", -12.3456, "Food & Drink", "E", memo});
    items.appendRow({fullWidth50, "Yearly", null, "Mum's", "E", null});
    items.appendRow({"", "Quarterly", 0.0, "", "E", QString(100, QChar(0x4E2D))});
    items.appendRow({"Rent", "Fortnightly", 1e9 + 0.0001, "Home", "E", "x"});

    Table &cats = plan.categories();
    cats.appendRow({"Work", "I"});
    cats.appendRow({"Food & Drink", "E"});
    cats.appendRow({"Mum's", "E"});
    cats.appendRow({"", "E"});
    cats.appendRow({QStringLiteral("\u00DCn\u00EFc\u00F6d\u00E9 \u0416"), "I"});

    Table &savings = plan.savings();
    savings.appendRow({"Holiday", 2500.0, at(2024, 2, 29, 23, 59, 59, 999), at(2025, 12, 31), "Monthly", 104.1667});
    savings.appendRow({QStringLiteral("\u00C9cole"), null, null, null, "Weekly", null});
    savings.appendRow({"", 0.0001, at(1601, 1, 1), at(9999, 12, 31, 23, 59, 59, 999), "Daily", -0.5});

    Table &loans = plan.loans();
    loans.appendRow({"Car", "Bank", 15000.0, 320.75, "Monthly", at(2023, 6, 15, 12), 60, at(2028, 6, 15, 12), 7.25});
    loans.appendRow(
        {fullWidth50, QString(30, QChar(0x00F8)), -1.0, 0.0, "Weekly", at(1900, 1, 1), 0, at(2100, 3, 1), 0.1 + 0.2});
    loans.appendRow({"", "", null, null, "Quarterly", null, 100, null, 1e-300});

    Table &reminders = plan.reminders();
    reminders.appendRow({"I", "Work", "Salary", 15, "Payday", 3});
    reminders.appendRow({"E", "Food & Drink", QStringLiteral("Caf\u00E9 cr\u00E8me \U0001F600"), 1,
                         QStringLiteral("\u00DCberweisung"), 12});
    reminders.appendRow({"E", "Mum's", "", 31, "", 1});
    reminders.appendRow({"I", null, null, 28, null, 2});
}

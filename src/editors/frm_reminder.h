#pragma once
#include <QDate>
#include <QDialog>
#include <QList>

class PlanDocument;
class Table;
class RadioGroup;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// The reminder editor: attaches a reminder to the plan window's current item
// ("new"), adds another reminder for the item of the current reminder
// ("addexist"), or changes the current reminder ("edit"). With "Add For Each :"
// ticked it adds a whole series instead, one reminder per week, fortnight,
// month or quarter of a year from the chosen date. Opened without waiting;
// its two labels follow the current row of the table they show.
class Tfrm_reminder : public QDialog
{
    Q_OBJECT
public:
    Tfrm_reminder(PlanDocument *window, const QString &mode, const QString &kindLetter, QWidget *parent = nullptr);

    QString mode() const { return m_mode; }
    QString kindLetter() const { return m_kindLetter; }

    // "JAN" .. "DEC" for 1 .. 12, empty for anything else; and back (0 when
    // the text is not one of those exact names).
    static QString monthtostr(int month);
    static int monthtoint(const QString &name);

    // The entries of rg_add, in order.
    enum SeriesStep { Week, Fortnight, Month, Quarter };
    // The dates of a series from `start`: 52 weeks, 26 fortnights, 12 months
    // or 4 quarters. A month step keeps the day but no later than the target
    // month's last day, and the next step goes on from that shortened date.
    static QList<QDate> seriesDates(const QDate &start, int step);

    // The date mode "edit" shows for a stored month and day in `year`. A
    // 29 February that `year` lacks is shown in the next leap year, so that
    // saving without touching the date keeps the stored day.
    static QDate editDate(int year, int month, int dom);

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void buildLayout();
    void activation();
    void showFollowedRow();
    void LMDSB_saveClick();
    void DEChange();
    void writeRows(const QString &kind, const QString &cat, const QString &item);

    PlanDocument *m_window;
    QString m_mode;
    QString m_kindLetter;

    Table *m_followed = nullptr; // the table whose current row the labels show

    QLabel *m_cat = nullptr;
    QLabel *m_item = nullptr;
    QLineEdit *m_desc = nullptr;
    QDateEdit *m_date = nullptr;
    QCheckBox *m_addFor = nullptr;
    RadioGroup *m_step = nullptr;
    QLabel *m_startDate = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};

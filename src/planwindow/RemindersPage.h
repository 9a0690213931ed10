#pragma once
#include <QWidget>

class Tfrm_budget;
class RadioGroup;
class TableModel;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTableView;

// The "Reminders" page: every reminder of the plan for one kind, optionally for
// one month, with buttons to add, edit and delete them. While it is shown the
// reminders table is not linked to the items table and carries the page's filter.
class RemindersPage : public QWidget
{
    Q_OBJECT
public:
    explicit RemindersPage(Tfrm_budget *window);

    // The page became the shown page.
    void pageShown();
    void adjustcolwidths();
    QAbstractButton *editButton() const;
    QAbstractButton *deleteButton() const;

    // The filter the page's controls ask for: "cat_id = 'E'", or
    // "cat_id = 'E' and month = '3'" while viewing by month.
    QString filterText() const;
    // The title of the printed reminders: "Income Reminders", or
    // "Expense Reminders For : March" while viewing by month.
    QString reportTitle() const;

private:
    void buildLayout();
    QString kindLetter() const;
    void applyFilter();
    void cb_rmonthChange();
    void openEditor(const QString &mode);
    void lmdsbtn_reminder_deleteClick();
    void printReminders(bool preview);

    Tfrm_budget *m_window;
    QTableView *m_grid = nullptr;
    TableModel *m_model = nullptr;
    RadioGroup *m_rgItems = nullptr;
    QCheckBox *m_byMonth = nullptr;
    QComboBox *m_month = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_preview = nullptr;
};

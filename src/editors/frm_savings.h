#pragma once
#include <QDialog>

class PlanDocument;
class CurrencyBox;
class RadioGroup;
class QDateEdit;
class QLineEdit;
class QPushButton;

// The savings editor: sets up a new savings goal or changes the current one of
// the plan window's savings table. The plan computes the amount to put aside
// per period from the target, the two dates and the frequency.
//
// Mode "new" appends a goal (opened modeless by New Item, or modal by Edit Item
// on an empty list); mode "edit" rewrites the current goal (modal).
class Tfrm_savings : public QDialog
{
    Q_OBJECT
public:
    Tfrm_savings(PlanDocument *window, const QString &mode, QWidget *parent = nullptr);

    QString mode() const { return m_mode; }

    // The frequency choice: moves the finish date out to one whole period from
    // today when the dates are closer than the frequency needs.
    void rg_savfreqClick();
    void btn_OKClick();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    // Fills the controls when the dialog opens: today and tomorrow for a new
    // goal, the current goal's values for an edit.
    void fillControls();
    // Runs on every later activation (after a message box, the calendar, or
    // the plan window): the user's entries stay as they are.
    void reactivated();
    // The four checks in order; the first that fails shows its box, takes the
    // focus to the control to correct and returns false.
    bool checksPass();
    void addGoal();
    bool storeEditedGoal();

    PlanDocument *m_window;
    QString m_mode;
    bool m_filled = false;

    QLineEdit *m_desc = nullptr;
    CurrencyBox *m_target = nullptr;
    QDateEdit *m_start = nullptr;
    QDateEdit *m_finish = nullptr;
    RadioGroup *m_freq = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

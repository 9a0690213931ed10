#pragma once
#include <QDialog>

class PlanDocument;
class Table;
class CurrencyBox;
class RadioGroup;
class QDateEdit;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The loan editor: records a new loan or changes the current one of the plan
// window's loans table. It checks nothing; it only keeps the end date in step
// with the length while the user changes the length.
class Tfrm_loans : public QDialog
{
    Q_OBJECT
public:
    // `mode` is "new" or "edit", the plan window's editmode when it opened us.
    Tfrm_loans(PlanDocument *window, const QString &mode, QWidget *parent = nullptr);

    QString mode() const { return m_mode; }

    // Length actions: a key released in se_lgth, a press of its up or down
    // button (after the length has stepped).
    void lengthKeyReleased();
    void lengthUpClicked();
    void lengthDownClicked();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    // Runs each time the dialog becomes the active window.
    void fillFields();
    void moveFinishToYear(int year);
    void LMDSB_saveClick();

    PlanDocument *m_window;
    Table *m_loans;
    QString m_mode;

    QLineEdit *m_purpose = nullptr;
    QLineEdit *m_lender = nullptr;
    CurrencyBox *m_amtb = nullptr;
    QDoubleSpinBox *m_intrate = nullptr;
    CurrencyBox *m_minpay = nullptr;
    QSpinBox *m_lgth = nullptr;
    QDateEdit *m_start = nullptr;
    QDateEdit *m_finish = nullptr;
    RadioGroup *m_sched = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;

    // The day of month the end date was given with, so a leap day moved
    // through a common year (28 February) comes back in the next leap year.
    int m_finishDay = 1;
    bool m_movingFinish = false;
    bool m_centred = false;

    // What an edited row held where the boxes cannot show it exactly (a rate
    // with more than two decimals, a schedule that is not one of the six
    // names); an untouched box stores the row's own value back.
    double m_loadedRate = 0;
    double m_shownRate = 0;
    bool m_rateLoaded = false;
    QString m_loadedPayfreq;
    bool m_filled = false;
};

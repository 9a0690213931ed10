#include "frm_loans.h"

#include "plan/CalendarTime.h"
#include "plan/Clock.h"
#include "plan/Frequency.h"
#include "plan/Plan.h"
#include "plan/PlanEdits.h"
#include "widgets/PlanDocument.h"
#include "widgets/Controls.h"
#include "widgets/CurrencyBox.h"
#include "widgets/Format.h"
#include "widgets/MessageBox.h"
#include "widgets/RadioGroup.h"

#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <functional>

namespace {

// The length box. Its buttons stay usable at both ends of the range, because
// a press at 100 or at 0 still moves the end date. Every step that does not
// come from the keyboard (button, held button, wheel) is reported one by one
// after the length has moved; keys are reported when released.
class LengthBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

    std::function<void(int direction)> onButtonStep;
    std::function<void()> onKeyReleased;

    void stepBy(int steps) override
    {
        if (m_keyStepping || steps == 0) {
            QSpinBox::stepBy(steps);
            return;
        }
        const int direction = steps > 0 ? 1 : -1;
        for (int i = 0; i != steps; i += direction) {
            QSpinBox::stepBy(direction);
            if (onButtonStep)
                onButtonStep(direction);
        }
    }

protected:
    StepEnabled stepEnabled() const override { return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled); }

    void keyPressEvent(QKeyEvent *event) override
    {
        m_keyStepping = true;
        QSpinBox::keyPressEvent(event);
        m_keyStepping = false;
    }

    void keyReleaseEvent(QKeyEvent *event) override
    {
        QSpinBox::keyReleaseEvent(event);
        if (onKeyReleased)
            onKeyReleased();
    }

private:
    bool m_keyStepping = false;
};

} // namespace

Tfrm_loans::Tfrm_loans(PlanDocument *window, const QString &mode, QWidget *parent)
    : QDialog(parent ? parent : window,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::WindowStaysOnTopHint),
      m_window(window), m_loans(&window->plan().loans()), m_mode(mode)
{
    setObjectName(QStringLiteral("frm_loans"));
    setWindowTitle(QStringLiteral("Kavo Pursekeep V3 - Loan Administration"));
    buildLayout();

    auto *length = static_cast<LengthBox *>(m_lgth);
    length->onKeyReleased = [this] { lengthKeyReleased(); };
    length->onButtonStep = [this](int direction) {
        if (direction > 0)
            lengthUpClicked();
        else
            lengthDownClicked();
    };
    connect(m_finish, &QDateEdit::dateChanged, this, [this](const QDate &date) {
        if (!m_movingFinish)
            m_finishDay = date.day();
    });
    connect(m_save, &QPushButton::clicked, this, &Tfrm_loans::LMDSB_saveClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_loans::buildLayout()
{
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(8);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    m_purpose = new QLineEdit(this);
    m_purpose->setObjectName(QStringLiteral("eb_purpose"));
    m_purpose->setMaxLength(50);
    m_lender = new QLineEdit(this);
    m_lender->setObjectName(QStringLiteral("eb_lender"));
    m_lender->setMaxLength(30);
    m_amtb = new CurrencyBox(QStringLiteral("ce_amtb"), this);
    m_intrate = new QDoubleSpinBox(this);
    m_intrate->setObjectName(QStringLiteral("se_intrate"));
    m_intrate->setDecimals(2);
    m_intrate->setSingleStep(1);
    m_intrate->setRange(0, 9999.99);
    m_minpay = new CurrencyBox(QStringLiteral("ce_minpay"), this);
    m_lgth = new LengthBox(this);
    m_lgth->setObjectName(QStringLiteral("se_lgth"));
    m_lgth->setRange(0, 100);
    m_lgth->setSingleStep(1);
    m_start = Controls::dateBox(QStringLiteral("de_start"), this);
    m_finish = Controls::dateBox(QStringLiteral("de_finish"), this);

    grid->addWidget(Controls::label(QStringLiteral("Label1"), QStringLiteral("Purpose :"), this, m_purpose), 0, 0, 1,
                    4);
    grid->addWidget(m_purpose, 1, 0, 1, 4);
    grid->addWidget(Controls::label(QStringLiteral("Label2"), QStringLiteral("Lender :"), this, m_lender), 2, 0, 1, 4);
    grid->addWidget(m_lender, 3, 0, 1, 4);
    const auto pair = [&](int row, int column, const char *labelName, const char *text, QWidget *box) {
        grid->addWidget(Controls::label(QLatin1String(labelName), QLatin1String(text), this, box), row, column, 1, 2);
        grid->addWidget(box, row + 1, column, 1, 2);
    };
    pair(4, 0, "Label3", "Amount Borrowed :", m_amtb);
    pair(4, 2, "Label4", "Interest Rate", m_intrate);
    pair(6, 0, "Label6", "Minium Payment :", m_minpay);
    pair(6, 2, "Label5", "Length Of Loan(Years) :", m_lgth);
    pair(8, 0, "Label7", "Loan Start Date", m_start);
    pair(8, 2, "Label8", "Loan End Date", m_finish);
    for (int c = 0; c < 4; ++c)
        grid->setColumnStretch(c, 1);
    grid->setRowStretch(10, 1);
    outer->addLayout(grid, 1);

    auto *right = new QVBoxLayout;
    m_sched = new RadioGroup(QStringLiteral("rg_sched"), QStringLiteral("Schedule :"), Frequency::names(), 1, this);
    m_sched->setItemIndex(Frequency::indexOf(QStringLiteral("Monthly")));
    right->addWidget(m_sched);
    right->addStretch(1);
    auto *buttons = new QHBoxLayout;
    m_save = new QPushButton(QStringLiteral("Save"), this);
    m_save->setObjectName(QStringLiteral("LMDSB_save"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("LMDSB_cancel"));
    // Enter in a box must not save by accident: there is no default button.
    for (QPushButton *b : {m_save, m_cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }
    right->addLayout(buttons);
    outer->addLayout(right);

    setTabOrder(m_purpose, m_lender);
    setTabOrder(m_lender, m_amtb);
    setTabOrder(m_amtb, m_intrate);
    setTabOrder(m_intrate, m_lgth);
    setTabOrder(m_lgth, m_minpay);
    setTabOrder(m_minpay, m_start);
    setTabOrder(m_start, m_finish);
    setTabOrder(m_finish, m_sched);
    setTabOrder(m_sched, m_save);
    setTabOrder(m_save, m_cancel);

    // 493 by 304 pixels with the frame.
    setFixedSize(485, 274);
}

// --- activation --------------------------------------------------------------------

bool Tfrm_loans::event(QEvent *event)
{
    // The fields are filled once, when the dialog first becomes active; coming
    // back from the plan window keeps what the user has typed so far.
    if (event->type() == QEvent::WindowActivate && !m_filled)
        fillFields();
    return QDialog::event(event);
}

void Tfrm_loans::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        QWidget *over = parentWidget() ? parentWidget()->window() : nullptr;
        if (over && over != this) {
            QRect frame = frameGeometry();
            frame.moveCenter(over->frameGeometry().center());
            move(frame.topLeft());
        }
    }
    if (!m_filled)
        fillFields(); // opening counts as the first activation
    QDialog::showEvent(event);
}

void Tfrm_loans::fillFields()
{
    m_filled = true;
    if (m_mode != QLatin1String("edit")) {
        const QDate today = Clock::today();
        m_start->setDate(today);
        m_finish->setDate(today.addDays(1));
        return;
    }
    if (m_loans->isEmpty())
        return;
    m_purpose->setText(m_loans->asString("purpose"));
    m_lender->setText(m_loans->asString("lender"));
    m_amtb->setValue(m_loans->asMoney("amtborrowed"));
    m_loadedRate = m_loans->asReal("intrate");
    m_intrate->setValue(m_loadedRate);
    m_shownRate = m_intrate->value();
    m_rateLoaded = true;
    m_minpay->setValue(m_loans->asMoney("minpay"));
    m_lgth->setValue(m_loans->asInteger("loanlgth"));
    m_loadedPayfreq = m_loans->asString("payfreq");
    m_sched->setItemIndex(Frequency::indexOf(m_loadedPayfreq));
    m_start->setDate(m_loans->asDateTime("start").date());
    m_finish->setDate(m_loans->asDateTime("finish").date());
}

// --- the end date follows the length ------------------------------------------------

void Tfrm_loans::moveFinishToYear(int year)
{
    const QDate end = m_finish->date();
    const QDate firstOfMonth(year, end.month(), 1);
    if (!firstOfMonth.isValid())
        return;
    // A leap day lands on 28 February in a common year.
    const QDate moved(year, end.month(), qMin(m_finishDay, firstOfMonth.daysInMonth()));
    if (!moved.isValid() || moved < m_finish->minimumDate() || moved > m_finish->maximumDate())
        return;
    m_movingFinish = true;
    m_finish->setDate(moved);
    m_movingFinish = false;
}

void Tfrm_loans::lengthKeyReleased()
{
    moveFinishToYear(Clock::today().year() + m_lgth->value());
}

void Tfrm_loans::lengthUpClicked()
{
    if (m_lgth->value() > 0)
        moveFinishToYear(m_finish->date().year() + 1);
}

void Tfrm_loans::lengthDownClicked()
{
    const int year = m_finish->date().year() - 1;
    if (year > Clock::today().year())
        moveFinishToYear(year);
}

// --- Save -------------------------------------------------------------------------------

void Tfrm_loans::LMDSB_saveClick()
{
    // An amount still being typed counts.
    for (CurrencyBox *box : {m_amtb, m_minpay})
        if (box->hasFocus())
            emit box->editingFinished();
    m_intrate->interpretText();
    m_lgth->interpretText();

    m_window->setSaved(false);
    // Appending or changing follows the mode this dialog was opened in: the
    // plan window's editmode may have been changed by another editor since.
    const bool change = m_mode == QLatin1String("edit") && !m_loans->isEmpty();
    const double rate = m_rateLoaded && m_intrate->value() == m_shownRate ? m_loadedRate : m_intrate->value();
    const QString payfreq = m_sched->itemIndex() >= 0 ? m_sched->currentText() : change ? m_loadedPayfreq : QString();
    const PlanEdits::FieldValues values{{QStringLiteral("purpose"), m_purpose->text()},
                                        {QStringLiteral("lender"), m_lender->text()},
                                        {QStringLiteral("amtborrowed"), m_amtb->value()},
                                        {QStringLiteral("minpay"), m_minpay->value()},
                                        {QStringLiteral("payfreq"), payfreq},
                                        {QStringLiteral("start"), CalendarTime::at(m_start->date())},
                                        {QStringLiteral("finish"), CalendarTime::at(m_finish->date())},
                                        {QStringLiteral("loanlgth"), m_lgth->value()},
                                        {QStringLiteral("intrate"), rate}};
    PlanEdits::PlanEdit edit =
        change ? PlanEdits::changeLoan(m_window->plan(), values) : PlanEdits::addLoan(m_window->plan(), values);
    if (!edit.ok()) {
        MessageBox::error(this, edit.error);
        return;
    }
    m_window->addToHistory(std::move(edit.change));
    m_window->updateall();
    accept();
}

#include "frm_savings.h"

#include "plan/CalendarTime.h"
#include "plan/Clock.h"
#include "plan/Frequency.h"
#include "plan/Plan.h"
#include "plan/PlanEdits.h"
#include "plan/Savings.h"
#include "widgets/PlanDocument.h"
#include "widgets/Controls.h"
#include "widgets/CurrencyBox.h"
#include "widgets/Format.h"
#include "widgets/MessageBox.h"
#include "widgets/RadioGroup.h"

#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString kEdit = QStringLiteral("edit");

// A goal needs at least `threshold` days between its dates for the chosen
// frequency; closer dates move the finish date to today + `offset` days.
struct FinishRule
{
    const char *frequency;
    int threshold;
    int offset;
};

constexpr FinishRule kFinishRules[] = {
    {"Daily", 2, 1},
    {"Weekly", 8, 7},
    {"Fortnightly", 15, 15},
    {"Monthly", 31, 30},
};

} // namespace

Tfrm_savings::Tfrm_savings(PlanDocument *window, const QString &mode, QWidget *parent)
    : QDialog(parent), m_window(window), m_mode(mode)
{
    setObjectName(QStringLiteral("frm_savings"));
    setWindowTitle(QStringLiteral("Kavo Pursekeep - New Savings Item"));
    buildLayout();
    setFixedSize(459, 180);

    connect(m_freq, &RadioGroup::clicked, this, &Tfrm_savings::rg_savfreqClick);
    connect(m_ok, &QPushButton::clicked, this, &Tfrm_savings::btn_OKClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_savings::buildLayout()
{
    m_desc = new QLineEdit(this);
    m_desc->setObjectName(QStringLiteral("eb_savdesc"));
    m_desc->setMaxLength(50);
    m_target = new CurrencyBox(QStringLiteral("ce_target"), this);
    m_start = Controls::dateBox(QStringLiteral("vc_start"), this);
    m_start->setReadOnly(true);
    m_start->setCalendarPopup(false);
    m_start->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_finish = Controls::dateBox(QStringLiteral("vc_finish"), this);
    m_freq = new RadioGroup(QStringLiteral("rg_savfreq"), QStringLiteral("Savings Frequency :"),
                            Frequency::savingsNames(), 1, this);
    m_freq->setFocusProxy(m_freq->button(0));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("btn_OK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("btn_Cancel"));

    // Left: description, target and the two dates (start left, finish right);
    // right: the frequency group over OK and Cancel.
    auto *left = new QGridLayout;
    left->setVerticalSpacing(2);
    left->setColumnMinimumWidth(0, 100);
    left->setColumnStretch(1, 1);
    left->addWidget(
        Controls::label(QStringLiteral("Label1"), QStringLiteral("What you are saving for :"), this, m_desc), 0, 0, 1,
        2);
    left->addWidget(m_desc, 1, 0, 1, 2);
    left->addWidget(
        Controls::label(QStringLiteral("Label2"), QStringLiteral("How much you want to save :"), this, m_target), 2, 0,
        1, 2);
    left->addWidget(m_target, 3, 0);
    left->addWidget(Controls::label(QStringLiteral("Label3"), QStringLiteral("Todays Date :"), this, m_start), 4, 0);
    QLabel *label4 =
        Controls::label(QStringLiteral("Label4"), QStringLiteral("When you need to save it by :"), this, m_finish);
    label4->setWordWrap(true);
    left->addWidget(label4, 4, 1);
    left->addWidget(m_start, 5, 0);
    left->addWidget(m_finish, 5, 1);
    left->setRowStretch(6, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(m_freq);
    right->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    for (QPushButton *b : {m_ok, m_cancel}) {
        b->setFixedWidth(64);
        buttons->addWidget(b);
    }
    right->addLayout(buttons);

    auto *page = new QHBoxLayout(this);
    page->setContentsMargins(8, 6, 8, 8);
    page->setSpacing(10);
    page->addLayout(left, 1);
    page->addLayout(right);

    setTabOrder(m_freq, m_desc);
    setTabOrder(m_desc, m_target);
    setTabOrder(m_target, m_ok);
    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_start);
    setTabOrder(m_start, m_finish);
}

// --- activation --------------------------------------------------------------------

bool Tfrm_savings::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        if (m_filled)
            reactivated();
        else
            fillControls();
    }
    return QDialog::event(event);
}

void Tfrm_savings::showEvent(QShowEvent *event)
{
    if (!m_filled) {
        fillControls();
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void Tfrm_savings::fillControls()
{
    m_filled = true;
    const QDate today = Clock::today();
    if (m_mode != kEdit) {
        m_start->setDate(today);
        m_finish->setDate(today.addDays(1));
        return;
    }
    const Table &goals = m_window->plan().savings();
    if (goals.isEmpty())
        return;
    const QDate start = goals.asDateTime("start").date();
    const QDate finish = goals.asDateTime("finish").date();
    m_start->setDate(start.isValid() ? start : today);
    m_finish->setDate(finish.isValid() ? finish : today);
    m_desc->setText(goals.asString("desc"));
    m_target->setValue(goals.asMoney("amount"));
    // A stored frequency outside the four selects nothing: OK then asks for one.
    m_freq->setItemIndex(static_cast<int>(m_freq->items().indexOf(goals.asString("freq"))));
}

void Tfrm_savings::reactivated()
{
    // Whatever the user entered stays, so that a failed check can be corrected
    // where it failed; only "Todays Date" of a new goal follows the clock.
    if (m_mode != kEdit)
        m_start->setDate(Clock::today());
}

// --- frequency choice --------------------------------------------------------------

void Tfrm_savings::rg_savfreqClick()
{
    const QString chosen = m_freq->currentText();
    const qint64 span = qAbs(m_start->date().daysTo(m_finish->date()));
    for (const FinishRule &rule : kFinishRules) {
        if (chosen == QLatin1String(rule.frequency)) {
            if (span < rule.threshold)
                m_finish->setDate(Clock::today().addDays(rule.offset));
            return;
        }
    }
}

// --- OK ------------------------------------------------------------------------------

bool Tfrm_savings::checksPass()
{
    const auto fail = [this](const char *text, QWidget *focus) {
        MessageBox::error(this, QLatin1String(text));
        Controls::focusToCorrect(focus);
        return false;
    };
    if (m_freq->itemIndex() < 0)
        return fail("Please select how often you wish to save", m_freq);
    if (m_desc->text().isEmpty())
        return fail("Please enter a savings description", m_desc);
    if (m_finish->date() <= m_start->date())
        return fail("You cannot have a start date that is later than or equal to your finish date", m_start);
    if (m_target->value() == 0)
        return fail("Please select a target amount", m_target);
    return true;
}

void Tfrm_savings::btn_OKClick()
{
    // A target typed just now is taken before the checks read it.
    if (m_target->hasFocus())
        m_ok->setFocus(Qt::OtherFocusReason);
    if (!checksPass())
        return;
    m_window->setSaved(false);
    if (m_mode == kEdit) {
        if (!storeEditedGoal())
            return; // stays open to be corrected
    } else {
        addGoal(); // closes whether or not there was time for one period
    }
    m_window->updateall();
    accept();
}

void Tfrm_savings::addGoal()
{
    PlanEdits::PlanEdit added = PlanEdits::addSavingsGoal(m_window->plan(), m_desc->text(), m_freq->currentText(),
                                                          CalendarTime::at(m_start->date()),
                                                          CalendarTime::at(m_finish->date()), m_target->value());
    // The one refusal is too little time for one period.
    if (!added.ok())
        MessageBox::information(this, added.error);
    m_window->addToHistory(std::move(added.change));
}

bool Tfrm_savings::storeEditedGoal()
{
    const QString frequency = m_freq->currentText();
    const QDateTime start = CalendarTime::at(m_start->date());
    const QDateTime finish = CalendarTime::at(m_finish->date());
    const double target = m_target->value();
    const std::optional<double> each = Savings::instalment(frequency, start, finish, target);
    if (!each) {
        MessageBox::warning(this, QStringLiteral("You do not have enough time to save : ") + frequency);
        return false;
    }
    if (m_window->plan().savings().isEmpty())
        return true;
    PlanEdits::PlanEdit changed = PlanEdits::changeSavingsGoal(m_window->plan(),
                                                               {{QStringLiteral("start"), start},
                                                                {QStringLiteral("finish"), finish},
                                                                {QStringLiteral("desc"), m_desc->text()},
                                                                {QStringLiteral("amount"), target},
                                                                {QStringLiteral("freq"), frequency},
                                                                {QStringLiteral("freqamount"), *each}});
    if (!changed.ok()) {
        MessageBox::error(this, changed.error);
        return false;
    }
    m_window->addToHistory(std::move(changed.change));
    return true;
}

#include "frm_reminder.h"

#include "plan/Clock.h"
#include "plan/Plan.h"
#include "plan/PlanEdits.h"
#include "widgets/Controls.h"
#include "widgets/PlanDocument.h"
#include "widgets/Format.h"
#include "widgets/MessageBox.h"
#include "widgets/RadioGroup.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString kNew = QStringLiteral("new");
const QString kEdit = QStringLiteral("edit");

const char *const kMonthNames[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

QLabel *dataLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumHeight(22);
    return label;
}

} // namespace

Tfrm_reminder::Tfrm_reminder(PlanDocument *window, const QString &mode, const QString &kindLetter, QWidget *parent)
    : QDialog(parent), m_window(window), m_mode(mode), m_kindLetter(kindLetter)
{
    setObjectName(QStringLiteral("frm_reminder"));
    setWindowTitle(QStringLiteral("Kavo Pursekeep V3 - Reminders"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildLayout();

    // The date box starts at today.
    m_date->setDate(Clock::today());
    m_startDate->setText(QLocale().toString(m_date->date(), QStringLiteral("dddd dd MM yyyy")));

    // "new" shows the plan window's current item, the other modes the current
    // reminder; the labels follow that row wherever the user moves it.
    Plan &plan = window->plan();
    m_followed = m_mode == kNew ? &plan.items() : &plan.reminders();
    connect(m_followed, &Table::currentRowChanged, this, &Tfrm_reminder::showFollowedRow);
    connect(m_followed, &Table::rowChanged, this, &Tfrm_reminder::showFollowedRow);
    connect(m_followed, &Table::visibleRowsReset, this, &Tfrm_reminder::showFollowedRow);

    connect(m_date, &QDateEdit::dateChanged, this, &Tfrm_reminder::DEChange);
    connect(m_save, &QPushButton::clicked, this, &Tfrm_reminder::LMDSB_saveClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    resize(354, 266); // 362 by 292 with its frame
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Tfrm_reminder::buildLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(6);

    m_cat = dataLabel("dbt_cat", this);
    m_item = dataLabel("dbt_item", this);
    m_desc = new QLineEdit(this);
    m_desc->setObjectName(QStringLiteral("eb_desc"));
    m_desc->setMaxLength(50);
    m_desc->setAccessibleName(QStringLiteral("Reminder Text"));
    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("DE"));
    m_date->setCalendarPopup(true);
    m_date->setAccessibleName(QStringLiteral("Reminder Date"));
    m_date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    m_date->setMinimumDate(QDate(1753, 1, 1));
    m_date->setMaximumDate(QDate(9999, 12, 31));
    layout->addWidget(m_cat);
    layout->addWidget(m_item);
    layout->addWidget(m_desc);
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(m_date);
    dateRow->addStretch(1);
    layout->addLayout(dateRow);

    auto *series = new QGridLayout;
    series->setHorizontalSpacing(8);
    m_addFor = new QCheckBox(QStringLiteral("Add For Each :"), this);
    m_addFor->setObjectName(QStringLiteral("cb_addfor"));
    m_step = new RadioGroup(QStringLiteral("rg_add"), QString(), {"Week", "Fortnight", "Month", "Quarter"}, 2, this);
    m_step->setItemIndex(Month);
    auto *starting = new QLabel(QStringLiteral("Starting :"), this);
    starting->setObjectName(QStringLiteral("Label1"));
    m_startDate = new QLabel(this);
    m_startDate->setObjectName(QStringLiteral("lbl_start_date"));
    series->addWidget(m_addFor, 0, 0, Qt::AlignTop);
    series->addWidget(m_step, 0, 1, 2, 1);
    auto *startRow = new QVBoxLayout;
    startRow->setSpacing(0);
    startRow->addWidget(starting);
    startRow->addWidget(m_startDate);
    series->addLayout(startRow, 2, 0, 1, 2);
    series->setColumnStretch(1, 1);
    layout->addLayout(series);
    layout->addStretch(1);

    auto *buttons = new QHBoxLayout;
    m_save = new QPushButton(QStringLiteral("Save"), this);
    m_save->setObjectName(QStringLiteral("LMDSB_save"));
    m_save->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("LMDSB_cancel"));
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    setTabOrder(m_date, m_desc);
    setTabOrder(m_desc, m_addFor);
    setTabOrder(m_addFor, m_step->button(0));
    setTabOrder(m_step->button(0), m_save);
    setTabOrder(m_save, m_cancel);
}

// --- month names -------------------------------------------------------------

QString Tfrm_reminder::monthtostr(int month)
{
    return month >= 1 && month <= 12 ? QLatin1String(kMonthNames[month - 1]) : QString();
}

int Tfrm_reminder::monthtoint(const QString &name)
{
    for (int m = 1; m <= 12; ++m)
        if (name == QLatin1String(kMonthNames[m - 1]))
            return m;
    return 0;
}

// --- dates ---------------------------------------------------------------------

QList<QDate> Tfrm_reminder::seriesDates(const QDate &start, int step)
{
    int count = 0;
    switch (step) {
    case Week: count = 52; break;
    case Fortnight: count = 26; break;
    case Month: count = 12; break;
    case Quarter: count = 4; break;
    default: return {};
    }
    QList<QDate> dates;
    dates.reserve(count);
    QDate date = start;
    for (int i = 0; i < count; ++i) {
        dates.append(date);
        switch (step) {
        case Week: date = date.addDays(7); break;
        case Fortnight: date = date.addDays(14); break;
        case Month: date = date.addMonths(1); break; // clamps to the month's last day
        default: date = date.addMonths(3); break;
        }
    }
    return dates;
}

QDate Tfrm_reminder::editDate(int year, int month, int dom)
{
    if (month < 1 || month > 12 || dom < 1)
        return Clock::today();
    if (QDate::isValid(year, month, dom))
        return QDate(year, month, dom);
    if (month == 2 && dom == 29) {
        int leap = year + 1;
        while (!QDate::isLeapYear(leap))
            ++leap;
        return QDate(leap, 2, 29);
    }
    // A day the month never has: its last day.
    const QDate first(year, month, 1);
    return QDate(year, month, first.daysInMonth());
}

void Tfrm_reminder::DEChange()
{
    m_startDate->setText(QLocale().toString(m_date->date(), QStringLiteral("dddd dd MMMM yyyy")));
}

// --- activation ------------------------------------------------------------------

bool Tfrm_reminder::event(QEvent *e)
{
    const bool handled = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate)
        activation();
    return handled;
}

void Tfrm_reminder::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    activation();
}

void Tfrm_reminder::activation()
{
    showFollowedRow();
    Table &reminders = m_window->plan().reminders();
    if (m_mode == kEdit && reminders.currentRow() >= 0) {
        m_desc->setText(reminders.asString("desc"));
        m_date->setDate(editDate(Clock::today().year(), reminders.asInteger("month"), reminders.asInteger("dom")));
    }
}

void Tfrm_reminder::showFollowedRow()
{
    const bool hasRow = m_followed->currentRow() >= 0 && m_followed->state() == Table::State::Browse;
    m_cat->setText(hasRow ? m_followed->asString("cat") : QString());
    m_item->setText(hasRow ? m_followed->asString("item") : QString());
}

// --- Save ----------------------------------------------------------------------------

void Tfrm_reminder::LMDSB_saveClick()
{
    if (m_desc->text().isEmpty()) {
        MessageBox::error(this, QStringLiteral("Please Enter A Description"));
        Controls::focusToCorrect(m_desc);
        return;
    }
    // The row the labels show gives the category and item, and also the kind:
    // the user may have moved to an item or reminder of the other kind since
    // the dialog opened. With no row there is nothing to attach a reminder to.
    Table *source = m_followed;
    if (source->currentRow() < 0)
        return;
    const QString kindField = source == &m_window->plan().items() ? QStringLiteral("catid") : QStringLiteral("cat_id");
    QString kind = source->asString(kindField);
    if (kind.isEmpty())
        kind = m_kindLetter;

    m_window->setSaved(false);
    writeRows(kind, source->asString("cat"), source->asString("item"));
    emit m_window->planChanged();
    accept();
}

void Tfrm_reminder::writeRows(const QString &kind, const QString &cat, const QString &item)
{
    Plan &plan = m_window->plan();
    const QDate date = m_date->date();
    // A series is added beside the reminder being edited, never over it.
    PlanEdits::PlanEdit edit = m_addFor->isChecked()
        ? PlanEdits::addReminders(plan, kind, cat, item, seriesDates(date, m_step->itemIndex()), m_desc->text())
        : m_mode != kEdit ? PlanEdits::addReminders(plan, kind, cat, item, {date}, m_desc->text())
                          : PlanEdits::changeReminder(plan, date, m_desc->text());
    if (!edit.ok())
        MessageBox::error(this, edit.error);
    m_window->addToHistory(std::move(edit.change));
}

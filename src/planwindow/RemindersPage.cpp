#include "RemindersPage.h"
#include "GridCommands.h"
#include "PlanHost.h"
#include "frm_budget.h"

#include "editors/frm_reminder.h"
#include "plan/Clock.h"
#include "plan/PageKind.h"
#include "plan/Plan.h"
#include "plan/PlanEdits.h"
#include "widgets/GridColumns.h"
#include "widgets/Controls.h"
#include "reports/RemindersReport.h"
#include "widgets/MessageBox.h"
#include "widgets/ReportOutput.h"
#include "widgets/RadioGroup.h"
#include "widgets/TableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QStringList kMonths = {"January", "February", "March",     "April",   "May",      "June",
                             "July",    "August",   "September", "October", "November", "December"};

QPushButton *pageButton(const char *name, const char *caption, QWidget *parent)
{
    auto *b = new QPushButton(QLatin1String(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

RemindersPage::RemindersPage(Tfrm_budget *window) : QWidget(window), m_window(window)
{
    setObjectName(QStringLiteral("tsreminders"));
    buildLayout();

    m_model = new TableModel(
        &window->plan().reminders(),
        {{"cat_id", {}, {}}, {"cat", {}, {}}, {"item", {}, {}}, {"dom", {}, {}}, {"month", {}, {}}, {"desc", {}, {}}},
        this);
    m_model->bindView(m_grid);
    m_grid->setColumnHidden(m_model->columnOf("cat_id"), true);
    GridColumns::setColumnPixels(m_grid, m_model->columnOf("cat"), 123);
    GridColumns::setColumnPixels(m_grid, m_model->columnOf("item"), 144);
    GridColumns::setColumnPixels(m_grid, m_model->columnOf("dom"), 50, QStringLiteral("31"));
    GridColumns::setColumnPixels(m_grid, m_model->columnOf("month"), 53, QStringLiteral("12"));
    GridColumns::setColumnPixels(m_grid, m_model->columnOf("desc"), 432);

    m_month->setCurrentIndex(Clock::today().month() - 1);

    connect(m_rgItems, &RadioGroup::clicked, this, &RemindersPage::applyFilter);
    connect(m_byMonth, &QCheckBox::clicked, this, &RemindersPage::applyFilter);
    connect(m_month, &QComboBox::currentIndexChanged, this, &RemindersPage::cb_rmonthChange);
    connect(m_add, &QPushButton::clicked, this, [this] { openEditor(QStringLiteral("addexist")); });
    connect(m_edit, &QPushButton::clicked, this, [this] { openEditor(QStringLiteral("edit")); });
    connect(m_delete, &QPushButton::clicked, this, &RemindersPage::lmdsbtn_reminder_deleteClick);
    connect(m_print, &QPushButton::clicked, this, [this] { printReminders(false); });
    connect(m_preview, &QPushButton::clicked, this, [this] { printReminders(true); });
}

void RemindersPage::buildLayout()
{
    auto *page = new QHBoxLayout(this);
    page->setContentsMargins(2, 2, 2, 2);

    // A cell cursor rather than whole rows.
    m_grid = Controls::dataGrid(QStringLiteral("vdbg_r_budget"), this, false);
    m_grid->setAccessibleName(QStringLiteral("Reminders"));
    page->addWidget(m_grid, 1);

    auto *right = new QWidget(this);
    right->setFixedWidth(150);
    auto *column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    m_rgItems = new RadioGroup(QStringLiteral("rg_r_items"), QStringLiteral("Items"), {"Income", "Expense"}, 1, right);
    m_rgItems->setItemIndex(0);
    m_byMonth = new QCheckBox(QStringLiteral("View By Month :"), right);
    m_byMonth->setObjectName(QStringLiteral("lmdcb_bymonth"));
    m_month = new QComboBox(right);
    m_month->setObjectName(QStringLiteral("cb_rmonth"));
    m_month->setEditable(false);
    m_month->addItems(kMonths);
    m_add = pageButton("ldmsbtn_reminder_addexist", "Add", right);
    m_edit = pageButton("lmdsbtn_reminder_edit", "Edit", right);
    m_delete = pageButton("lmdsbtn_reminder_delete", "Delete", right);
    m_print = pageButton("lmdsbtn_r_print", "Print", right);
    m_preview = pageButton("lmdsbtn_r_preview", "Preview", right);

    column->addWidget(m_rgItems);
    column->addWidget(m_byMonth);
    column->addWidget(m_month);
    column->addSpacing(8);
    column->addWidget(m_add);
    column->addWidget(m_edit);
    column->addWidget(m_delete);
    column->addSpacing(24);
    column->addWidget(m_print);
    column->addWidget(m_preview);
    column->addStretch(1);
    page->addWidget(right);
}

QString RemindersPage::kindLetter() const
{
    return m_rgItems->itemIndex() == 1 ? Kind::Expense : Kind::Income;
}

QString RemindersPage::filterText() const
{
    QString text = QStringLiteral("cat_id = ") + quoteFilterText(kindLetter());
    if (m_byMonth->isChecked())
        text += QStringLiteral(" and month = ") + quoteFilterText(QString::number(m_month->currentIndex() + 1));
    return text;
}

QString RemindersPage::reportTitle() const
{
    QString title =
        m_rgItems->itemIndex() == 1 ? QStringLiteral("Expense Reminders") : QStringLiteral("Income Reminders");
    if (m_byMonth->isChecked())
        title += QStringLiteral(" For : ") + m_month->currentText();
    return title;
}

void RemindersPage::applyFilter()
{
    m_window->plan().reminders().setFilter(filterText());
}

void RemindersPage::cb_rmonthChange()
{
    if (m_byMonth->isChecked())
        applyFilter();
}

void RemindersPage::pageShown()
{
    const QString kind = m_window->pagekind();
    if (kind == PageKind::Income)
        m_rgItems->setItemIndex(0);
    else if (kind == QLatin1String("expense"))
        m_rgItems->setItemIndex(1);
    m_window->setPagekind(PageKind::Reminder);

    // The grid shows what the controls say, whatever filter the table carried.
    Table &reminders = m_window->plan().reminders();
    reminders.setLinkActive(false);
    applyFilter();
    reminders.setFiltered(true);
}

void RemindersPage::adjustcolwidths()
{
    // The grid's columns keep their fixed widths.
}

QAbstractButton *RemindersPage::editButton() const
{
    return m_edit;
}

QAbstractButton *RemindersPage::deleteButton() const
{
    return m_delete;
}

void RemindersPage::openEditor(const QString &mode)
{
    Table &reminders = m_window->plan().reminders();
    if (reminders.isEmpty())
        return;
    auto *editor = new Tfrm_reminder(m_window, mode, reminders.asString("cat_id"), m_window);
    editor->show();
}

void RemindersPage::lmdsbtn_reminder_deleteClick()
{
    Table &reminders = m_window->plan().reminders();
    if (reminders.isEmpty())
        return;
    const auto quoted = [](const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); };
    const QString question = QStringLiteral("Delete reminder : ") + quoted(reminders.asString("desc"))
        + QStringLiteral(" for item : ") + quoted(reminders.asString("item"));
    if (MessageBox::warningYesNo(this, question) != MessageBox::Answer::Yes)
        return;
    m_window->addToHistory(PlanEdits::deleteReminder(m_window->plan()).change);
    emit m_window->planChanged();
}

// The reminders this page shows, printed on the program's printer or previewed.
void RemindersPage::printReminders(bool preview)
{
    PlanHost *host = m_window->host();
    if (!host || !host->printer())
        return;
    const RemindersReport report(m_window->plan(), reportTitle());
    const ReportLayout layout = report.layout();
    if (preview)
        ReportOutput::preview(this, host->printer(), layout);
    else
        ReportOutput::print(this, host->printer(), layout);
}

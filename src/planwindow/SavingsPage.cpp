#include "SavingsPage.h"
#include "GridCommands.h"
#include "frm_budget.h"

#include "plan/CalendarTime.h"
#include "plan/PageKind.h"
#include "plan/Clock.h"
#include "plan/Plan.h"
#include "plan/Savings.h"
#include "widgets/GridColumns.h"
#include "widgets/Controls.h"
#include "widgets/CurrencyBox.h"
#include "widgets/Format.h"
#include "widgets/TableModel.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

SavingsPage::SavingsPage(Tfrm_budget *window) : QWidget(window), m_window(window), m_goals(&window->plan().savings())
{
    setObjectName(QStringLiteral("ts_savings"));
    buildLayout();

    m_model = new TableModel(m_goals,
                             {{"desc", QStringLiteral("Savings Item"), {}},
                              {"freq", QStringLiteral("Frequency"), {}},
                              {"freqamount", QStringLiteral("Amount To Save"), {}}},
                             this);
    m_model->bindView(m_grid);

    connect(m_goals, &Table::currentRowChanged, this, &SavingsPage::showCurrentGoal);
    connect(m_goals, &Table::rowChanged, this, &SavingsPage::showCurrentGoal);
    connect(m_goals, &Table::visibleRowsReset, this, &SavingsPage::showCurrentGoal);
    new GridCommands(m_window, m_grid, m_goals);
    showCurrentGoal();
}

QString SavingsPage::expiredText()
{
    return QStringLiteral("This savings goal has expired");
}
QString SavingsPage::activeText()
{
    return QStringLiteral("This savings goal is still active.");
}
QString SavingsPage::noGoalText()
{
    return QStringLiteral("This goal is current");
}

void SavingsPage::buildLayout()
{
    m_grid = Controls::dataGrid(QStringLiteral("vdbg_savings"), this);
    m_grid->setAccessibleName(QStringLiteral("Savings Items"));

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnl_savings_detail"));
    panel->setFixedWidth(187);
    auto *details = new QVBoxLayout(panel);
    details->setContentsMargins(4, 4, 4, 4);
    // Each caption names the box below it.
    QLabel *lastCaption = nullptr;
    const auto caption = [panel, details, &lastCaption](const QString &text) {
        auto *label = new QLabel(text, panel);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        details->addWidget(label);
        lastCaption = label;
    };
    const auto box = [panel, details, &lastCaption](const QString &name) {
        auto *edit = new QLineEdit(panel);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        details->addWidget(edit);
        lastCaption->setBuddy(edit);
        return edit;
    };
    caption(QStringLiteral("Start :"));
    m_start = box(QStringLiteral("DBEdit_start"));
    caption(QStringLiteral("Finish :"));
    m_finish = box(QStringLiteral("DBEdit_finish"));
    caption(QStringLiteral("Target"));
    m_target = box(QStringLiteral("DBEdit_Target"));
    m_target->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption(QStringLiteral("Balance :"));
    m_balance = new CurrencyBox(QStringLiteral("ce_balance"), panel);
    m_balance->setReadOnly(true);
    lastCaption->setBuddy(m_balance);
    QPalette white = m_balance->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Text, Qt::black);
    m_balance->setPalette(white);
    details->addWidget(m_balance);
    m_status = new QLabel(noGoalText(), panel);
    m_status->setObjectName(QStringLiteral("lbl_current"));
    m_status->setWordWrap(true);
    details->addSpacing(6);
    details->addWidget(m_status);
    details->addStretch(1);

    auto *page = new QHBoxLayout(this);
    page->setContentsMargins(2, 2, 2, 2);
    page->setSpacing(2);
    page->addWidget(m_grid, 1);
    page->addWidget(panel);
}

void SavingsPage::showCurrentGoal()
{
    if (m_goals->isEmpty()) {
        // No goal to compute from: the panel is blank and the status is back
        // to what a page without goals shows.
        m_start->clear();
        m_finish->clear();
        m_target->clear();
        m_balance->setValue(0);
        m_status->setText(noGoalText());
        return;
    }
    const QDateTime start = m_goals->asDateTime("start");
    const QDateTime finish = m_goals->asDateTime("finish");
    const double target = m_goals->asMoney("amount");
    m_start->setText(Format::date(start.date()));
    m_finish->setText(Format::date(finish.date()));
    m_target->setText(Format::currency(target));
    const QDateTime now = Clock::now();
    m_balance->setValue(
        Savings::balance(m_goals->asString("freq"), start, m_goals->asMoney("freqamount"), target, now));
    m_status->setText(CalendarTime::isAfter(now, finish) ? expiredText() : activeText());
}

void SavingsPage::pageShown()
{
    m_window->setPagekind(PageKind::Savings);
}

void SavingsPage::adjustcolwidths()
{
    const int A = GridColumns::widthBase();
    GridColumns::setColumnChars(m_grid, m_model->columnOf("desc"), A / 8);
    GridColumns::setColumnChars(m_grid, m_model->columnOf("freq"), A / 17);
    GridColumns::setColumnChars(m_grid, m_model->columnOf("freqamount"), A / 24);
}

// The plan window's toolbar commands. Menu entries, context-menu entries, keys
// and double clicks run them by clicking the toolbar button, so every path
// behaves the same. Each command acts on the table `pagekind` names.
#include "ItemsPage.h"
#include "PlanHost.h"
#include "frm_budget.h"

#include "widgets/frm_msg.h"
#include "editors/frm_cats.h"
#include "editors/frm_items.h"
#include "plan/PageKind.h"
#include "plan/PlanEdits.h"
#include "plan/Plan.h"
#include "widgets/MessageBox.h"
#include "widgets/ModalRunner.h"

#include <QMdiSubWindow>
#include <QMenu>
#include <QToolButton>

namespace {
const QString &kIncome = PageKind::Income;
const QString &kExpense = PageKind::Expense;
const QString &kSavings = PageKind::Savings;
const QString &kLoan = PageKind::Loan;
const QString &kReminder = PageKind::Reminder;
} // namespace

void Tfrm_budget::buildItemsMenu()
{
    m_itemsMenu = new QMenu(this);
    m_itemsMenu->setObjectName(QStringLiteral("BcBarItemsPopupMenu"));
    const auto entry = [this](const char *name, const char *caption, const char *button) {
        QAction *a = m_itemsMenu->addAction(QLatin1String(caption));
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, button] { toolButton(QLatin1String(button))->click(); });
    };
    m_itemsMenu->addSection(QStringLiteral("Items"));
    entry("New1", "&New", "obnewitem");
    entry("Edit1", "&Edit", "obedititem");
    entry("Delete1", "&Delete", "obdeleteitem");
    entry("ClearAll1", "C&lear All", "obclearall");
    entry("AddReminder1", "Add Re&minder", "lmssbtn_addremind");
    m_itemsMenu->addSection(QStringLiteral("Plan"));
    entry("SavePlan1", "&Save", "LMDSbtn_save_plan");
    entry("ClosePlan1", "&Close", "obcloseplan");
    m_itemsMenu->addSection(QStringLiteral("Categories"));
    entry("EditCategoris1", "Edi&t", "obeditcat");
}

void Tfrm_budget::popupItemsMenu(QWidget *grid, const QPoint &pos)
{
    m_itemsMenu->popup(grid->mapToGlobal(pos));
}

bool Tfrm_budget::hasCategoryOfKind(const QString &kindLetter) const
{
    const Table &cats = m_plan->categories();
    const int kind = cats.fieldIndex("catid");
    for (const Table::RowView row : cats.allRows())
        if (row.toString(kind) == kindLetter)
            return true;
    return false;
}

QString Tfrm_budget::pageKindLetter() const
{
    return m_pagekind == kExpense ? Kind::Expense : Kind::Income;
}

// --- New Item -----------------------------------------------------------------------

void Tfrm_budget::obnewitemClick()
{
    if (m_pagekind == kReminder)
        return;
    if (m_pagekind == kIncome || m_pagekind == kExpense) {
        const QString letter = pageKindLetter();
        if (!hasCategoryOfKind(letter)) {
            MessageBox::information(this,
                                    m_pagekind == kIncome ? QStringLiteral("Please enter income categories")
                                                          : QStringLiteral("Please enter expense categories"));
            return;
        }
        m_editmode = QStringLiteral("new");
        m_plan->categories().setFilter(QStringLiteral("catid=") + quoteFilterText(letter));
        m_plan->categories().setFiltered(true);
        Tfrm_items editor(this, m_pagekind, m_editmode, letter, this);
        ModalRunner::exec(&editor);
    } else if (m_pagekind == kSavings || m_pagekind == kLoan) {
        m_editmode = QStringLiteral("new");
        openGoalOrLoanEditor(false);
    }
    setDisplayFrequency(2);
    updateall();
    cb_item_total_freqChange();
}

// --- Edit Item ----------------------------------------------------------------------

void Tfrm_budget::obedititemClick()
{
    m_editmode = QStringLiteral("edit");
    if (m_pagekind == kReminder) {
        editReminderFromPage();
        return;
    }
    if (m_pagekind == kSavings || m_pagekind == kLoan) {
        Table &table = m_pagekind == kSavings ? m_plan->savings() : m_plan->loans();
        const int row = table.currentRow();
        if (table.isEmpty())
            m_editmode = QStringLiteral("new");
        openGoalOrLoanEditor(true);
        if (row >= 0 && !table.isEmpty())
            table.goTo(row);
    } else if (m_pagekind == kIncome || m_pagekind == kExpense) {
        const QString letter = pageKindLetter();
        if (!hasCategoryOfKind(letter)) {
            MessageBox::information(this,
                                    m_pagekind == kIncome ? QStringLiteral("Please enter income categories")
                                                          : QStringLiteral("Please enter expense categories"));
            return;
        }
        Table &cats = m_plan->categories();
        if (cats.filter() != kindFilter(letter))
            cats.setFilter(kindFilter(letter));
        cats.setFiltered(true);
        Table &items = m_plan->items();
        const int row = items.currentRow();
        if (items.isEmpty())
            m_editmode = QStringLiteral("new");
        Tfrm_items editor(this, m_pagekind, m_editmode, letter, this);
        ModalRunner::exec(&editor);
        if (row >= 0 && !items.isEmpty())
            items.goTo(row);
    }
    updateall();
    cb_item_total_freqChange();
}

// --- Delete Item ---------------------------------------------------------------------

void Tfrm_budget::obdeleteitemClick()
{
    const QString question = QStringLiteral("Are you sure you want to delete : ");
    if (m_pagekind == kReminder) {
        deleteReminderFromPage();
        return;
    }
    if (m_pagekind == kIncome || m_pagekind == kExpense) {
        Table &items = m_plan->items();
        if (!items.isEmpty()
            && MessageBox::warningYesNo(this, question + items.asString("item")) == MessageBox::Answer::Yes) {
            addToHistory(PlanEdits::deleteItem(*m_plan).change);
            rebuildCategoryTrees();
            updateall();
        }
        cb_item_total_freqChange();
        return;
    }
    if (m_pagekind == kSavings || m_pagekind == kLoan) {
        Table &table = m_pagekind == kSavings ? m_plan->savings() : m_plan->loans();
        const QString name = table.asString(m_pagekind == kSavings ? "desc" : "purpose");
        if (!table.isEmpty() && MessageBox::warningYesNo(this, question + name) == MessageBox::Answer::Yes) {
            addToHistory(m_pagekind == kSavings ? PlanEdits::deleteSavingsGoal(*m_plan).change
                                                : PlanEdits::deleteLoan(*m_plan).change);
            updateall();
        }
    }
}

// --- Clear All ------------------------------------------------------------------------

void Tfrm_budget::obclearallClick()
{
    QString question;
    Table *table = nullptr;
    if (m_pagekind == kIncome || m_pagekind == kExpense) {
        question = QStringLiteral("Are you SURE you wish to clear ALL %1 items").arg(m_pagekind);
        table = &m_plan->items();
    } else if (m_pagekind == kLoan) {
        question = QStringLiteral("Are you SURE you wish to clear ALL loan items");
        table = &m_plan->loans();
    } else if (m_pagekind == kSavings) {
        question = QStringLiteral("Are you SURE you wish to clear ALL savings items");
        table = &m_plan->savings();
    } else if (m_pagekind == kReminder) {
        question = QStringLiteral("Are you SURE you wish to clear ALL reminders");
        table = &m_plan->reminders();
    } else {
        return;
    }
    if (MessageBox::warningYesNo(this, question) != MessageBox::Answer::Yes)
        return;

    // The whole kind (items) or the whole table goes, whatever filter is shown.
    addToHistory(PlanEdits::clearAll(*m_plan, m_pagekind).change);

    if (table == &m_plan->items()) {
        rebuildCategoryTrees();
        updateall();
        cb_item_total_freqChange();
    } else if (table != &m_plan->reminders()) {
        updateall();
    }
    emit planChanged();
}

// --- Add Reminder, Save Plan, Close Plan, Add/Edit Categories --------------------------

void Tfrm_budget::lmssbtn_addremindClick()
{
    if (m_plan->items().isEmpty())
        return;
    // On the reminders page a reminder is added to the item of the reminder
    // shown: with none shown there is nothing to add it to.
    if (m_pagekind == kReminder && m_plan->reminders().isEmpty()) {
        MessageBox::information(this,
                                QStringLiteral("There is no reminder shown to add to. Choose a month and kind "
                                               "that have reminders, or add the reminder to its item on the "
                                               "Budget Items page."));
        return;
    }
    openReminderEditor(m_pagekind == kReminder ? QStringLiteral("addexist") : QStringLiteral("new"),
                       m_plan->items().asString("catid"));
}

void Tfrm_budget::LMDSbtn_save_planClick()
{
    const bool ok = savePlan();
    setSaved(ok);
    const QString name = QLatin1Char('"') + planFileName() + QLatin1Char('"');
    QString text = ok ? QStringLiteral("File : ") + name + QStringLiteral(" has been saved")
                      : QStringLiteral("Failed To Save : ") + name;
    if (ok && !m_backupProblem.isEmpty())
        text += QStringLiteral("\nNo backup of the plan it replaced could be kept: ") + m_backupProblem;
    Tfrm_msg::showMessage(this, text);
}

void Tfrm_budget::obcloseplanClick()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

void Tfrm_budget::obeditcatClick()
{
    Tfrm_cats editor(this, this);
    ModalRunner::exec(&editor);
    // A deleted category takes its items: the totals change with them.
    updateall();
}

// How the plan window reaches the editors of goals, loans and reminders, and
// the reminders page's own buttons.
#include "RemindersPage.h"
#include "frm_budget.h"

#include "editors/frm_loans.h"
#include "editors/frm_reminder.h"
#include "editors/frm_savings.h"
#include "widgets/ModalRunner.h"

#include <QAbstractButton>

void Tfrm_budget::openGoalOrLoanEditor(bool modal)
{
    QDialog *editor = nullptr;
    if (m_pagekind == QLatin1String("savings"))
        editor = new Tfrm_savings(this, m_editmode, this);
    else
        editor = new Tfrm_loans(this, m_editmode, this);
    if (modal) {
        ModalRunner::exec(editor);
        delete editor;
    } else {
        // Modeless: the plan window stays usable while it is open.
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->show();
    }
}

void Tfrm_budget::openReminderEditor(const QString &mode, const QString &kindLetter)
{
    auto *editor = new Tfrm_reminder(this, mode, kindLetter, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->show();
}

void Tfrm_budget::editReminderFromPage()
{
    if (QAbstractButton *b = m_remindersPage->editButton())
        b->click();
}

void Tfrm_budget::deleteReminderFromPage()
{
    if (QAbstractButton *b = m_remindersPage->deleteButton())
        b->click();
}

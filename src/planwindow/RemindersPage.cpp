#include "RemindersPage.h"
#include "frm_budget.h"

RemindersPage::RemindersPage(Tfrm_budget *window) : QWidget(window), m_window(window)
{
    setObjectName(QStringLiteral("tsreminders"));
}

void RemindersPage::pageShown()
{
    m_window->setPagekind(QStringLiteral("reminder"));
}

void RemindersPage::adjustcolwidths()
{
}

QAbstractButton *RemindersPage::editButton() const
{
    return nullptr;
}

QAbstractButton *RemindersPage::deleteButton() const
{
    return nullptr;
}

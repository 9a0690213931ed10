#include "SavingsPage.h"
#include "frm_budget.h"

SavingsPage::SavingsPage(Tfrm_budget *window) : QWidget(window), m_window(window)
{
    setObjectName(QStringLiteral("ts_savings"));
}

void SavingsPage::pageShown()
{
}

void SavingsPage::adjustcolwidths()
{
}

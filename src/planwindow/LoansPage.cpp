#include "LoansPage.h"
#include "frm_budget.h"

LoansPage::LoansPage(Tfrm_budget *window) : QWidget(window), m_window(window)
{
    setObjectName(QStringLiteral("ts_loans"));
}

void LoansPage::pageShown()
{
}

void LoansPage::adjustcolwidths()
{
}

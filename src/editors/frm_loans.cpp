#include "frm_loans.h"

Tfrm_loans::Tfrm_loans(Tfrm_budget *window, const QString &mode, QWidget *parent)
    : QDialog(parent), m_window(window), m_mode(mode)
{
    setObjectName(QStringLiteral("frm_loans"));
}

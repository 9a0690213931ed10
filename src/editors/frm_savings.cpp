#include "frm_savings.h"

Tfrm_savings::Tfrm_savings(Tfrm_budget *window, const QString &mode, QWidget *parent)
    : QDialog(parent), m_window(window), m_mode(mode)
{
    setObjectName(QStringLiteral("frm_savings"));
}

#include "frm_reminder.h"

Tfrm_reminder::Tfrm_reminder(Tfrm_budget *window, const QString &mode, const QString &kindLetter, QWidget *parent)
    : QDialog(parent), m_window(window), m_mode(mode), m_kindLetter(kindLetter)
{
    setObjectName(QStringLiteral("frm_reminder"));
}

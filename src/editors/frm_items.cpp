#include "frm_items.h"

Tfrm_items::Tfrm_items(Tfrm_budget *, const QString &, const QString &, const QString &, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_items"));
}

#include "frm_cats.h"

Tfrm_cats::Tfrm_cats(Tfrm_budget *, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_cats"));
}

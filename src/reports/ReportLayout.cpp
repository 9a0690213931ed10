#include "ReportLayout.h"

#include <QMarginsF>
#include <QPageSize>

const ReportItem *ReportPage::item(const QString &name) const
{
    for (const ReportItem &i : items)
        if (i.name == name)
            return &i;
    return nullptr;
}

QList<const ReportItem *> ReportPage::itemsNamed(const QString &name) const
{
    QList<const ReportItem *> found;
    for (const ReportItem &i : items)
        if (i.name == name)
            found << &i;
    return found;
}

QPageLayout ReportLayout::letterPortrait()
{
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(12.7, 12.7, 12.7, 12.7),
                       QPageLayout::Millimeter);
}

#include "Controls.h"
#include "Format.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

namespace Controls {

QTableView *dataGrid(const QString &objectName, QWidget *parent, bool wholeRows)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(objectName);
    grid->setSelectionBehavior(wholeRows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next control; the arrow keys move in it.
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setAlternatingRowColors(true);
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    grid->setPalette(pal);
    return grid;
}

QLabel *label(const QString &objectName, const QString &text, QWidget *parent, QWidget *field)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(objectName);
    if (field)
        l->setBuddy(field);
    return l;
}

QDateEdit *dateBox(const QString &objectName, QWidget *parent)
{
    auto *box = new QDateEdit(parent);
    box->setObjectName(objectName);
    box->setCalendarPopup(true);
    box->setDisplayFormat(Format::shortDateFormat());
    return box;
}

void focusToCorrect(QWidget *field)
{
    if (!field)
        return;
    field->setFocus(Qt::TabFocusReason);
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(field))
        spin->selectAll();
    else if (auto *line = qobject_cast<QLineEdit *>(field))
        line->selectAll();
    else if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

} // namespace Controls

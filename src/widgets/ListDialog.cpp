#include "ListDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

ListDialog::ListDialog(const QString &objectName, const QString &title, const QString &intro,
                       const QStringList &headings, const QList<QStringList> &rows, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    m_intro = new QLabel(intro, this);
    m_intro->setWordWrap(true);
    layout->addWidget(m_intro);

    m_list = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(headings.size()), this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setHorizontalHeaderLabels(headings);
    m_list->setAccessibleName(title);
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setTabKeyNavigation(false);
    m_list->setWordWrap(false);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < headings.size() && c < rows.at(r).size(); ++c)
            m_list->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
    m_list->resizeColumnsToContents();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_intro->setBuddy(m_list);
    layout->addWidget(m_list, 1);
    setManyChosen(false);

    m_buttons = new QWidget(this);
    auto *buttons = new QHBoxLayout(m_buttons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    layout->addWidget(m_buttons);

    int width = 0;
    for (int c = 0; c < m_list->columnCount(); ++c)
        width += m_list->columnWidth(c);
    resize(std::clamp(width + 40, 420, 900), std::clamp(120 + 30 * static_cast<int>(rows.size()), 220, 520));
    m_list->setFocus();
}

QPushButton *ListDialog::addButton(const QString &objectName, const QString &text, bool isDefault)
{
    auto *button = new QPushButton(text, m_buttons);
    button->setObjectName(objectName);
    button->setAutoDefault(isDefault);
    button->setDefault(isDefault);
    m_buttons->layout()->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, objectName] {
        m_pressed = objectName;
        accept();
    });
    return button;
}

void ListDialog::setManyChosen(bool many)
{
    m_list->setSelectionMode(many ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    m_list->clearSelection();
    if (m_list->rowCount() == 0)
        return;
    if (many)
        m_list->selectAll();
    else
        m_list->selectRow(0);
    m_list->setCurrentCell(0, 0, QItemSelectionModel::NoUpdate);
}

QList<int> ListDialog::chosenRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

#include "RadioGroup.h"
#include "FlowLayout.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString &objectName, const QString &caption, const QStringList &items, int columns,
                       QWidget *parent)
    : QGroupBox(caption, parent), m_items(items), m_group(new QButtonGroup(this))
{
    setObjectName(objectName);
    const int perColumn = columns <= 0 ? 1 : (static_cast<int>(items.size()) + columns - 1) / columns;
    // A group in one row wraps its buttons when it is narrow, so their
    // captions stay whole; a group of several rows keeps its grid.
    QGridLayout *grid = nullptr;
    FlowLayout *flow = nullptr;
    if (perColumn == 1) {
        flow = new FlowLayout(this, 6);
        flow->setContentsMargins(6, 2, 6, 2);
        flow->setEvenColumns(true);
    } else {
        grid = new QGridLayout(this);
        grid->setContentsMargins(6, 2, 6, 2);
        grid->setVerticalSpacing(0);
    }
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items.at(i), this);
        b->setObjectName(objectName + QLatin1Char('_') + QString::number(i));
        m_group->addButton(b, i);
        m_buttons.append(b);
        if (grid)
            grid->addWidget(b, i % perColumn, i / perColumn);
        else
            flow->addWidget(b);
    }
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) {
        emit itemIndexChanged(id);
        emit clicked(id);
    });
}

int RadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (index < 0 || index >= m_buttons.size()) {
        m_group->setExclusive(false);
        if (auto *b = m_group->checkedButton())
            b->setChecked(false);
        m_group->setExclusive(true);
    } else {
        m_buttons.at(index)->setChecked(true);
    }
    emit itemIndexChanged(itemIndex());
}

QString RadioGroup::currentText() const
{
    const int i = itemIndex();
    return i < 0 ? QString() : m_items.at(i);
}

QRadioButton *RadioGroup::button(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

void RadioGroup::click(int index)
{
    if (auto *b = button(index))
        b->click();
}

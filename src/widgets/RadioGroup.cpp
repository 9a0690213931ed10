#include "RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString &objectName, const QString &caption, const QStringList &items,
                       int columns, QWidget *parent)
    : QGroupBox(caption, parent), m_items(items), m_group(new QButtonGroup(this))
{
    setObjectName(objectName);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setVerticalSpacing(0);
    const int perColumn = columns <= 0 ? 1 : (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items.at(i), this);
        b->setObjectName(objectName + QLatin1Char('_') + QString::number(i));
        m_group->addButton(b, i);
        m_buttons.append(b);
        layout->addWidget(b, i % perColumn, i / perColumn);
    }
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) {
        emit itemIndexChanged(id);
        emit clicked(id);
    });
}

int RadioGroup::itemIndex() const { return m_group->checkedId(); }

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

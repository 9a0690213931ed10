#pragma once
#include <QGroupBox>
#include <QList>

class QButtonGroup;
class QRadioButton;

// A captioned group of radio buttons laid out in columns, with an item index
// (-1 when none is selected). `clicked` is sent when the user picks an entry
// (or click() is called); setItemIndex() changes the selection quietly and
// sends `itemIndexChanged` when it differs.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroup(const QString &objectName, const QString &caption, const QStringList &items, int columns,
               QWidget *parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    QString currentText() const;
    QStringList items() const { return m_items; }
    QRadioButton *button(int index) const;

    // Picks an entry as a click by the user would.
    void click(int index);

signals:
    void clicked(int index);
    void itemIndexChanged(int index);

private:
    QStringList m_items;
    QButtonGroup *m_group;
    QList<QRadioButton *> m_buttons;
};

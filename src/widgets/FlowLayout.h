#pragma once
#include <QLayout>
#include <QList>

// Lays its widgets out in a row at their preferred sizes and wraps them onto
// more rows when the row is too narrow, so that no widget is squeezed below
// its preferred width (a toolbar's captions stay whole in a tiled window).
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(QWidget *parent = nullptr, int spacing = 1);
    ~FlowLayout() override;

    // While they fit, the items share the row in equal columns (a radio
    // group across the window); only when they do not are they wrapped.
    void setEvenColumns(bool on) { m_evenColumns = on; }

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items in `rect` (only measures when `apply` is false) and
    // returns the height used.
    int arrange(const QRect &rect, bool apply) const;

    QList<QLayoutItem *> m_items;
    bool m_evenColumns = false;
};

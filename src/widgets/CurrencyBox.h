#pragma once
#include <QLineEdit>

// A box for an amount of money: shows its value in the system currency format
// ("$1,234.50"), empty when the value is zero; while it has the focus the plain
// number is edited, with at most two decimals, and Escape gives back the value
// it held.
class CurrencyBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit CurrencyBox(const QString &objectName, QWidget *parent = nullptr);

    double value() const { return m_value; }
    void setValue(double value);
    // Without the symbol when a label beside the box already shows it.
    void setShowSymbol(bool show);

signals:
    void valueChanged(double value);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showFormatted();
    void takeTyped();

    double m_value = 0;
    bool m_showSymbol = true;
};

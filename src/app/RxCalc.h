#pragma once
#include <QDialog>

class QLineEdit;

// A plain desktop calculator: digits, decimal point, the four operations,
// equals, clear and sign change. Operations are worked left to right as they
// are entered (2 + 3 * 4 = 20), as on a pocket calculator.
class RxCalc : public QDialog
{
    Q_OBJECT
public:
    explicit RxCalc(QWidget *parent = nullptr);

    QString display() const;
    // Presses one key: "0".."9", ".", "+", "-", "*", "/", "=", "C", "±".
    void press(const QString &key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void digit(const QString &d);
    void operation(const QString &op);
    void equals();
    bool apply();
    void showValue(double value);

    QLineEdit *m_display;
    double m_accumulator = 0;
    QString m_pending; // operation waiting for its second operand
    bool m_startNew = true; // the next digit starts a new number
    bool m_error = false;
};

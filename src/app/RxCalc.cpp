#include "RxCalc.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <cmath>

RxCalc::RxCalc(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RxCalc"));
    setWindowTitle(QStringLiteral("Calculator"));
    auto *grid = new QGridLayout(this);
    m_display = new QLineEdit(QStringLiteral("0"), this);
    m_display->setObjectName(QStringLiteral("display"));
    m_display->setReadOnly(true);
    m_display->setAccessibleName(QStringLiteral("Display"));
    // The display has the focus; the keys that edit a text box work the
    // calculator instead (Delete and Backspace clear it).
    m_display->installEventFilter(this);
    m_display->setAlignment(Qt::AlignRight);
    QFont big = m_display->font();
    big.setPointSize(big.pointSize() + 4);
    m_display->setFont(big);
    grid->addWidget(m_display, 0, 0, 1, 4);

    const char *keys[5][4] = {{"C", "±", "/", "*"},
                              {"7", "8", "9", "-"},
                              {"4", "5", "6", "+"},
                              {"1", "2", "3", "="},
                              {"0", ".", nullptr, nullptr}};
    // "0" is two keys wide and "=" two keys high; the keys after a wide one
    // move along so that no key covers another.
    for (int r = 0; r < 5; ++r) {
        int column = 0;
        for (int c = 0; c < 4 && column < 4; ++c) {
            if (!keys[r][c])
                continue;
            const QString key = QString::fromUtf8(keys[r][c]);
            auto *b = new QPushButton(key, this);
            b->setObjectName(QStringLiteral("key_") + key);
            b->setAutoDefault(false);
            b->setFocusPolicy(Qt::NoFocus);
            b->setMinimumSize(44, 34);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            connect(b, &QPushButton::clicked, this, [this, key] { press(key); });
            const int columns = key == QLatin1String("0") ? 2 : 1;
            const int rows = key == QLatin1String("=") ? 2 : 1;
            grid->addWidget(b, r + 1, column, rows, columns);
            column += columns;
        }
    }
    setFixedSize(sizeHint());
}

QString RxCalc::display() const
{
    return m_display->text();
}

void RxCalc::showValue(double value)
{
    if (!std::isfinite(value)) {
        m_display->setText(QStringLiteral("Error"));
        m_error = true;
        return;
    }
    QString text = QString::number(value, 'g', 15);
    m_display->setText(text);
}

void RxCalc::press(const QString &key)
{
    if (key == QLatin1String("C")) {
        m_accumulator = 0;
        m_pending.clear();
        m_startNew = true;
        m_error = false;
        m_display->setText(QStringLiteral("0"));
        return;
    }
    if (m_error)
        return; // only Clear leaves an error
    if (key.size() == 1 && (key.at(0).isDigit() || key == QLatin1String(".")))
        digit(key);
    else if (key == QLatin1String("="))
        equals();
    else if (key == QStringLiteral("±")) {
        const QString t = m_display->text();
        if (t != QLatin1String("0"))
            m_display->setText(t.startsWith(QLatin1Char('-')) ? t.mid(1) : QLatin1Char('-') + t);
    } else if (QStringLiteral("+-*/").contains(key) && key.size() == 1)
        operation(key);
}

void RxCalc::digit(const QString &d)
{
    QString t = m_startNew ? QString() : m_display->text();
    m_startNew = false;
    if (d == QLatin1String(".")) {
        if (t.contains(QLatin1Char('.')))
            return;
        if (t.isEmpty() || t == QLatin1String("-"))
            t += QLatin1Char('0');
    } else if (t == QLatin1String("0")) {
        t.clear();
    }
    if (t.size() >= 15)
        return;
    m_display->setText(t + d);
}

bool RxCalc::apply()
{
    const double operand = m_display->text().toDouble();
    if (m_pending.isEmpty())
        m_accumulator = operand;
    else if (m_pending == QLatin1String("+"))
        m_accumulator += operand;
    else if (m_pending == QLatin1String("-"))
        m_accumulator -= operand;
    else if (m_pending == QLatin1String("*"))
        m_accumulator *= operand;
    else if (m_pending == QLatin1String("/")) {
        if (operand == 0) {
            showValue(std::numeric_limits<double>::infinity());
            return false;
        }
        m_accumulator /= operand;
    }
    showValue(m_accumulator);
    return !m_error;
}

void RxCalc::operation(const QString &op)
{
    if (!m_startNew || m_pending.isEmpty()) {
        if (!apply())
            return;
    }
    m_pending = op;
    m_startNew = true;
}

void RxCalc::equals()
{
    if (m_pending.isEmpty())
        return;
    apply();
    m_pending.clear();
    m_startNew = true;
}

bool RxCalc::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_display && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            press(QStringLiteral("C"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RxCalc::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        press(QStringLiteral("="));
    else if (event->key() == Qt::Key_Escape && m_display->text() != QLatin1String("0"))
        press(QStringLiteral("C"));
    else if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)
        press(QStringLiteral("C"));
    else if (text.size() == 1 && QStringLiteral("0123456789.+-*/=").contains(text))
        press(text == QLatin1String(",") ? QStringLiteral(".") : text);
    else
        QDialog::keyPressEvent(event);
}

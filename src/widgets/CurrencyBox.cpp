#include "CurrencyBox.h"
#include "Format.h"

#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <cmath>

CurrencyBox::CurrencyBox(const QString &objectName, QWidget *parent) : QLineEdit(parent)
{
    setObjectName(objectName);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::editingFinished, this, &CurrencyBox::takeTyped);
    showFormatted();
}

void CurrencyBox::setValue(double value)
{
    if (!std::isfinite(value))
        value = 0;
    const bool changed = value != m_value;
    m_value = value;
    if (hasFocus() && !isReadOnly())
        setText(m_value == 0 ? QString() : Format::fixed2(m_value));
    else
        showFormatted();
    if (changed)
        emit valueChanged(m_value);
}

void CurrencyBox::showFormatted()
{
    setValidator(nullptr);
    setText(m_value == 0 ? QString() : m_showSymbol ? Format::currency(m_value) : Format::grouped(m_value));
}

void CurrencyBox::setShowSymbol(bool show)
{
    m_showSymbol = show;
    if (!hasFocus() || isReadOnly())
        showFormatted();
}

void CurrencyBox::focusInEvent(QFocusEvent *event)
{
    if (!isReadOnly()) {
        const QString point = QRegularExpression::escape(QLocale().decimalPoint());
        setText(m_value == 0 ? QString() : Format::fixed2(m_value));
        setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("-?\\d{0,12}(%1\\d{0,2})?").arg(point)), this));
    }
    QLineEdit::focusInEvent(event);
}

void CurrencyBox::keyPressEvent(QKeyEvent *event)
{
    // Escape gives back the value the box held before the typing.
    if (event->key() == Qt::Key_Escape && !isReadOnly() && validator()) {
        setText(m_value == 0 ? QString() : Format::fixed2(m_value));
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CurrencyBox::focusOutEvent(QFocusEvent *event)
{
    takeTyped();
    QLineEdit::focusOutEvent(event);
}

void CurrencyBox::takeTyped()
{
    if (isReadOnly() || !validator())
        return;
    bool ok = false;
    const double typed = QLocale().toDouble(text(), &ok);
    const double v = ok ? typed : 0;
    const bool changed = v != m_value;
    m_value = v;
    if (!hasFocus())
        showFormatted();
    if (changed)
        emit valueChanged(m_value);
}

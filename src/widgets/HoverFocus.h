#pragma once
#include <QObject>

class QWidget;

// Buttons that take the keyboard focus when the pointer enters them, so that
// F1 asks for the help of the button under the pointer.
class HoverFocus : public QObject
{
    Q_OBJECT
public:
    static void apply(QWidget *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

#pragma once
#include <QObject>

// The on-screen hints setting for every window of the program: while it is
// off, no control shows its tooltip. One filter on the application decides
// each time a tooltip would appear (the pointer resting on a control, or
// What's This on a focused one), so no window repeats the rule.
class OnScreenHints : public QObject
{
    Q_OBJECT
public:
    // Installs the filter on the application; again does nothing.
    static void install();
    static void setEnabled(bool on);
    static bool enabled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

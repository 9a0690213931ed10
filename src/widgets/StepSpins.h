#pragma once
#include <QDoubleSpinBox>
#include <QSpinBox>

// Spin fields whose up and down steps (buttons or arrow keys) are told apart
// from typing: a step emits stepped(), so a window may recalculate on a step
// and wait for typing to finish.
class LengthSpin : public QSpinBox
{
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;
    void stepBy(int steps) override;
signals:
    void stepped();
};

class RateSpin : public QDoubleSpinBox
{
    Q_OBJECT
public:
    using QDoubleSpinBox::QDoubleSpinBox;
    void stepBy(int steps) override;
signals:
    void stepped();
};

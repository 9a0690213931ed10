#include "StepSpins.h"

void LengthSpin::stepBy(int steps)
{
    QSpinBox::stepBy(steps);
    emit stepped();
}

void RateSpin::stepBy(int steps)
{
    QDoubleSpinBox::stepBy(steps);
    emit stepped();
}

#include "TimedWindows.h"

namespace {
int g_override = -1;
}

int TimedWindows::interval(int realMilliseconds)
{
    return g_override >= 0 ? g_override : realMilliseconds;
}

void TimedWindows::setOverride(int milliseconds)
{
    g_override = milliseconds;
}
void TimedWindows::clearOverride()
{
    g_override = -1;
}

#pragma once

// The intervals of the windows that close themselves (the splash screen's
// 4000 ms and the message pop-up's 2000 ms). Tests shorten them here instead of
// waiting; a negative override means the real interval.
class TimedWindows
{
public:
    static int interval(int realMilliseconds);
    static void setOverride(int milliseconds);
    static void clearOverride();
};

#pragma once
// Shared set-up for window tests: message boxes and file dialogs in test
// mode, short timed windows, a fixed clock and the US English locale.
#include "plan/Clock.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/ModalRunner.h"
#include "widgets/TimedWindows.h"

#include <QLocale>
#include <QTest>

namespace GuiTest {

inline void initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    MessageBox::setTestMode(true);
    FileDialog::setTestMode(true);
    TimedWindows::setOverride(0);
}

inline void init()
{
    MessageBox::resetTestState();
    FileDialog::resetTestState();
    ModalRunner::setHook({});
    Clock::set(QDateTime(QDate(2026, 6, 15), QTime(12, 0)));
}

// Texts of the boxes shown since the last call.
inline QStringList shownTexts()
{
    QStringList out;
    for (const MessageBox::Shown &s : MessageBox::takeShown())
        out << s.text;
    return out;
}

} // namespace GuiTest

// Every test's cleanup: no box or dialog came unannounced, none was left
// waiting for an answer.
#define GUITEST_CLEANUP()                                                                                              \
    do {                                                                                                               \
        ModalRunner::setHook({});                                                                                      \
        Clock::reset();                                                                                                \
        const int unexpectedBoxes = MessageBox::unexpectedCount();                                                     \
        const int unexpectedDialogs = FileDialog::unexpectedCount();                                                   \
        const int leftBoxes = MessageBox::pendingAnswers();                                                            \
        const int leftDialogs = FileDialog::pendingAnswers();                                                          \
        const auto shown = MessageBox::takeShown();                                                                    \
        MessageBox::resetTestState();                                                                                  \
        FileDialog::resetTestState();                                                                                  \
        for (const auto &s : shown)                                                                                    \
            if (s.unexpected)                                                                                          \
                qWarning("unexpected message box: %s", qPrintable(s.text));                                            \
        QCOMPARE(unexpectedBoxes, 0);                                                                                  \
        QCOMPARE(unexpectedDialogs, 0);                                                                                \
        QCOMPARE(leftBoxes, 0);                                                                                        \
        QCOMPARE(leftDialogs, 0);                                                                                      \
    } while (false)

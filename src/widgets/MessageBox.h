#pragma once
#include <QList>
#include <QString>

class QWidget;

// Every message the program shows to the user goes through here: a modal box
// with a fixed kind and set of buttons. Tests switch on test mode, queue the
// answers they expect to give and read back what was shown; a box shown in
// test mode without a queued answer is recorded as unexpected and answered
// with its most cautious button, so a test never blocks on a box. In test mode
// the asking window receives the activation it would get back from a real box.
class MessageBox
{
public:
    enum class Kind { Error, Information, Warning };
    enum class Answer { Ok, Yes, No, Cancel };

    struct Shown
    {
        Kind kind;
        QString text;
        bool unexpected = false;
        Answer defaultAnswer = Answer::Ok; // what Enter chooses
    };

    static void error(QWidget *parent, const QString &text);
    static void information(QWidget *parent, const QString &text);
    static void warning(QWidget *parent, const QString &text); // OK only
    // Before a delete: No is the default button, so Enter never deletes.
    static Answer warningYesNo(QWidget *parent, const QString &text);
    static Answer warningYesNoCancel(QWidget *parent, const QString &text);

    // --- test seam ---------------------------------------------------------
    static void setTestMode(bool on);
    static bool testMode();
    static void queueAnswer(Answer answer);
    static int pendingAnswers();
    // Every box shown since the last call, oldest first.
    static QList<Shown> takeShown();
    // The number of boxes shown without a queued answer since the last reset.
    static int unexpectedCount();
    static void resetTestState();

private:
    static Answer show(QWidget *parent, Kind kind, const QString &text, const QList<Answer> &buttons, Answer cautious,
                       Answer defaultAnswer);
};

#include "MessageBox.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QWidget>
#include <QQueue>

namespace {
bool g_testMode = false;
QQueue<MessageBox::Answer> g_answers;
QList<MessageBox::Shown> g_shown;
int g_unexpected = 0;

QString titleFor(MessageBox::Kind kind)
{
    switch (kind) {
    case MessageBox::Kind::Error: return QStringLiteral("Error");
    case MessageBox::Kind::Information: return QStringLiteral("Information");
    case MessageBox::Kind::Warning: return QStringLiteral("Warning");
    }
    return QString();
}
} // namespace

MessageBox::Answer MessageBox::show(QWidget *parent, Kind kind, const QString &text, const QList<Answer> &buttons,
                                    Answer cautious, Answer defaultAnswer)
{
    if (g_testMode) {
        Shown shown{kind, text, false, defaultAnswer};
        Answer answer = cautious;
        if (g_answers.isEmpty()) {
            shown.unexpected = true;
            ++g_unexpected;
        } else {
            answer = g_answers.dequeue();
            if (!buttons.contains(answer)) {
                shown.unexpected = true;
                ++g_unexpected;
                answer = cautious;
            }
        }
        g_shown.append(shown);
        // A real box takes the activation and hands it back when it closes:
        // the window that asked is activated again, as it would be on screen.
        if (parent && parent->window()->isVisible()) {
            QEvent activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(parent->window(), &activate);
        }
        return answer;
    }

    QMessageBox box(parent);
    box.setWindowTitle(titleFor(kind));
    box.setText(text);
    box.setIcon(kind == Kind::Error         ? QMessageBox::Critical
                    : kind == Kind::Warning ? QMessageBox::Warning
                                            : QMessageBox::Information);
    QMessageBox::StandardButtons standard;
    for (Answer a : buttons) {
        switch (a) {
        case Answer::Ok: standard |= QMessageBox::Ok; break;
        case Answer::Yes: standard |= QMessageBox::Yes; break;
        case Answer::No: standard |= QMessageBox::No; break;
        case Answer::Cancel: standard |= QMessageBox::Cancel; break;
        }
    }
    box.setStandardButtons(standard);
    box.setDefaultButton(defaultAnswer == Answer::Yes      ? QMessageBox::Yes
                             : defaultAnswer == Answer::No ? QMessageBox::No
                                                           : QMessageBox::Ok);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return buttons.contains(Answer::Cancel) || buttons.contains(Answer::No) ? cautious : Answer::Ok;
    }
}

void MessageBox::error(QWidget *parent, const QString &text)
{
    show(parent, Kind::Error, text, {Answer::Ok}, Answer::Ok, Answer::Ok);
}

void MessageBox::information(QWidget *parent, const QString &text)
{
    show(parent, Kind::Information, text, {Answer::Ok}, Answer::Ok, Answer::Ok);
}

void MessageBox::warning(QWidget *parent, const QString &text)
{
    show(parent, Kind::Warning, text, {Answer::Ok}, Answer::Ok, Answer::Ok);
}

MessageBox::Answer MessageBox::warningYesNo(QWidget *parent, const QString &text)
{
    return show(parent, Kind::Warning, text, {Answer::Yes, Answer::No}, Answer::No, Answer::No);
}

MessageBox::Answer MessageBox::warningYesNoCancel(QWidget *parent, const QString &text)
{
    return show(parent, Kind::Warning, text, {Answer::Yes, Answer::No, Answer::Cancel}, Answer::Cancel, Answer::Yes);
}

void MessageBox::setTestMode(bool on)
{
    g_testMode = on;
}
bool MessageBox::testMode()
{
    return g_testMode;
}
void MessageBox::queueAnswer(Answer answer)
{
    g_answers.enqueue(answer);
}
int MessageBox::pendingAnswers()
{
    return static_cast<int>(g_answers.size());
}
int MessageBox::unexpectedCount()
{
    return g_unexpected;
}

QList<MessageBox::Shown> MessageBox::takeShown()
{
    QList<Shown> out;
    out.swap(g_shown);
    return out;
}

void MessageBox::resetTestState()
{
    g_answers.clear();
    g_shown.clear();
    g_unexpected = 0;
}

#include "widgets/frm_msg.h"

#include "widgets/ModalRunner.h"
#include "widgets/TimedWindows.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int lifetimeMilliseconds = 2000;

QStringList &shownTexts()
{
    static QStringList texts;
    return texts;
}

void centreOnScreen(QWidget *window, QWidget *parent)
{
    QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace

Tfrm_msg::Tfrm_msg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_lmd_msg(new QLabel(this)),
      m_Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("frm_msg"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(424, 44);

    m_lmd_msg->setObjectName(QStringLiteral("lmd_msg"));
    m_lmd_msg->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(16);
    font.setBold(true);
    m_lmd_msg->setFont(font);
    m_lmd_msg->setStyleSheet(
        QStringLiteral("QLabel#lmd_msg { color: black; background: white; border: 1px solid black; }"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lmd_msg);

    centreOnScreen(this, parent);

    // The pop-up's life is counted from its creation, not from its showing.
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setSingleShot(true);
    m_Timer1->setTimerType(Qt::PreciseTimer); // a coarse timer may end it up to 5 % early
    m_Timer1->setInterval(TimedWindows::interval(lifetimeMilliseconds));
    connect(m_Timer1, &QTimer::timeout, this, &Tfrm_msg::Timer1Timer);
    m_Timer1->start();
}

void Tfrm_msg::setText(const QString &text)
{
    m_lmd_msg->setText(text);
}

QString Tfrm_msg::text() const
{
    return m_lmd_msg->text();
}

void Tfrm_msg::keyPressEvent(QKeyEvent *event)
{
    // Only the timer closes the pop-up; Escape would otherwise reject it.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void Tfrm_msg::Timer1Timer()
{
    // Closing deletes the pop-up: at once when it ran modally, later when shown.
    done(QDialog::Accepted);
}

void Tfrm_msg::showMessage(QWidget *parent, const QString &text)
{
    auto *popup = new Tfrm_msg(parent);
    popup->setText(text);
    shownTexts() << text;
    ModalRunner::exec(popup);
}

QStringList Tfrm_msg::takeShownTexts()
{
    QStringList texts;
    texts.swap(shownTexts());
    return texts;
}

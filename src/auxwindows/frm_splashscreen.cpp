#include "auxwindows/frm_splashscreen.h"

#include "auxwindows/AnimatedPicture.h"
#include "auxwindows/Pictures.h"
#include "widgets/TimedWindows.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {
constexpr int lifetimeMilliseconds = 4000;
}

Tfrm_splashscreen::Tfrm_splashscreen(QScreen *screen)
    : QSplashScreen(screen, QPixmap(), Qt::WindowStaysOnTopHint),
      m_RxGIFAnimator1(new AnimatedPicture(&Pictures::splashFrame, Pictures::splashFrameCount,
                                           Pictures::splashFrameMilliseconds, this)),
      m_Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("frm_splashscreen"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(300, 200);

    // The picture fills the window inside its one-pixel frame.
    m_RxGIFAnimator1->setObjectName(QStringLiteral("RxGIFAnimator1"));
    m_RxGIFAnimator1->setGeometry(rect().adjusted(1, 1, -1, -1));

    QScreen *target = screen ? screen : QGuiApplication::primaryScreen();
    if (target) {
        QRect frame = geometry();
        frame.moveCenter(target->geometry().center());
        move(frame.topLeft());
    }

    // Counted from creation: the program start waits these seconds.
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setSingleShot(true);
    m_Timer1->setTimerType(Qt::PreciseTimer); // a coarse timer may end it up to 5 % early
    m_Timer1->setInterval(TimedWindows::interval(lifetimeMilliseconds));
    connect(m_Timer1, &QTimer::timeout, this, &Tfrm_splashscreen::Timer1Timer);
    m_Timer1->start();
}

void Tfrm_splashscreen::run()
{
    Tfrm_splashscreen splash;
    QEventLoop loop;
    connect(&splash, &Tfrm_splashscreen::closed, &loop, &QEventLoop::quit);
    splash.show();
    if (splash.isVisible())
        loop.exec(QEventLoop::DialogExec);
}

void Tfrm_splashscreen::drawContents(QPainter *painter)
{
    painter->setPen(Qt::black);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect().adjusted(0, 0, -1, -1));
}

void Tfrm_splashscreen::mousePressEvent(QMouseEvent *)
{
    // QSplashScreen would hide on a click; this one keeps its full time.
}

void Tfrm_splashscreen::closeEvent(QCloseEvent *event)
{
    QSplashScreen::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void Tfrm_splashscreen::Timer1Timer()
{
    close();
}

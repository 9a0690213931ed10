#include "auxwindows/AnimatedPicture.h"

#include <QPainter>
#include <QTimer>

AnimatedPicture::AnimatedPicture(Painter painter, int frameCount, int frameMilliseconds, QWidget *parent)
    : QWidget(parent), m_painter(std::move(painter)), m_frameCount(qMax(1, frameCount)), m_frameTimer(new QTimer(this))
{
    m_frameTimer->setInterval(frameMilliseconds);
    connect(m_frameTimer, &QTimer::timeout, this, &AnimatedPicture::nextFrame);
}

void AnimatedPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_painter(painter, rect(), m_frame);
}

// Only a picture someone can see runs: a hidden one costs nothing.
void AnimatedPicture::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_frameCount > 1 && m_running)
        m_frameTimer->start();
}

void AnimatedPicture::setRunning(bool running)
{
    m_running = running;
    if (running && isVisible() && m_frameCount > 1) {
        m_frameTimer->start();
    } else if (!running) {
        m_frameTimer->stop();
        m_frame = 0;
        update();
    }
}

void AnimatedPicture::hideEvent(QHideEvent *event)
{
    m_frameTimer->stop();
    QWidget::hideEvent(event);
}

void AnimatedPicture::nextFrame()
{
    m_frame = (m_frame + 1) % m_frameCount;
    update();
}

// Its meta-object code lives with it, so the browser plugin takes this
// picture without the rest of the windows.
#include "moc_AnimatedPicture.cpp"

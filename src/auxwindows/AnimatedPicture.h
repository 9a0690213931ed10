#pragma once
#include <QWidget>
#include <functional>

class QPainter;
class QTimer;

// A running picture drawn in code: a painter function draws frame n of
// frameCount into the widget's rectangle, and the frames follow each other
// while the widget is visible. It stands where a looping animated picture
// would, without a picture file.
class AnimatedPicture : public QWidget
{
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter &, const QRect &, int frame)>;

    AnimatedPicture(Painter painter, int frameCount, int frameMilliseconds, QWidget *parent = nullptr);

    int frame() const { return m_frame; }
    int frameCount() const { return m_frameCount; }
    // A picture that is not running stands still on its first frame (busy
    // animations); one that runs moves while it is visible.
    void setRunning(bool running);
    bool isRunning() const { return m_running; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void nextFrame();

    Painter m_painter;
    int m_frameCount;
    int m_frame = 0;
    QTimer *m_frameTimer;
    bool m_running = true;
};

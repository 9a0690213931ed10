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
};

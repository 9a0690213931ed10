#pragma once
#include <QSplashScreen>

class AnimatedPicture;
class QTimer;

// The splash screen: a running picture in a small borderless window that the
// program shows for four seconds while it starts. It closes itself; a click
// does not shorten it.
class Tfrm_splashscreen : public QSplashScreen
{
    Q_OBJECT
public:
    explicit Tfrm_splashscreen(QScreen *screen = nullptr);

    // Creates the splash screen, shows it modally and returns once it has
    // closed itself. Needs the application object, nothing else.
    static void run();

signals:
    void closed();

protected:
    void drawContents(QPainter *painter) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Timer1Timer();

    AnimatedPicture *m_RxGIFAnimator1;
    QTimer *m_Timer1;
};

#pragma once
#include <QDialog>
#include <QStringList>

class QLabel;
class QTimer;

// The message pop-up: one line in a borderless box that stays two seconds and
// then closes and destroys itself. It has no button; the program waits while
// it is shown.
class Tfrm_msg : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_msg(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;

    // Creates the pop-up with the text, shows it modally and returns once it
    // has closed itself.
    static void showMessage(QWidget *parent, const QString &text);

    // Every text showMessage() put up since the last call, oldest first.
    static QStringList takeShownTexts();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Timer1Timer();

    QLabel *m_lmd_msg;
    QTimer *m_Timer1;
};

#pragma once
#include <QDialog>

class Tfrm_budget;

class Tfrm_reminder : public QDialog
{
    Q_OBJECT
public:
    Tfrm_reminder(Tfrm_budget *window, const QString &mode, const QString &kindLetter, QWidget *parent = nullptr);

private:
    Tfrm_budget *m_window;
    QString m_mode;
    QString m_kindLetter;
};

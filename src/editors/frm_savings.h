#pragma once
#include <QDialog>

class Tfrm_budget;

class Tfrm_savings : public QDialog
{
    Q_OBJECT
public:
    Tfrm_savings(Tfrm_budget *window, const QString &mode, QWidget *parent = nullptr);

private:
    Tfrm_budget *m_window;
    QString m_mode;
};

#pragma once
#include <QDialog>

class Tfrm_budget;

class Tfrm_items : public QDialog
{
    Q_OBJECT
public:
    Tfrm_items(Tfrm_budget *window, const QString &kind, const QString &mode, const QString &kindLetter,
               QWidget *parent = nullptr);
};

#pragma once
#include <QDialog>

class Tfrm_budget;

class Tfrm_cats : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_cats(Tfrm_budget *window, QWidget *parent = nullptr);
};

#pragma once
#include <QWidget>

class Tfrm_budget;
class QAbstractButton;

class LoansPage : public QWidget
{
    Q_OBJECT
public:
    explicit LoansPage(Tfrm_budget *window);

    // The page became the shown page.
    void pageShown();
    void adjustcolwidths();

private:
    Tfrm_budget *m_window;
};

#pragma once
#include <QWidget>

class Tfrm_budget;
class QAbstractButton;

class RemindersPage : public QWidget
{
    Q_OBJECT
public:
    explicit RemindersPage(Tfrm_budget *window);

    // The page became the shown page.
    void pageShown();
    void adjustcolwidths();
    QAbstractButton *editButton() const;
    QAbstractButton *deleteButton() const;

private:
    Tfrm_budget *m_window;
};

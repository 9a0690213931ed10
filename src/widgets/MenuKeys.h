#pragma once
#include <QObject>

// Alt and a letter opens the menu of that mnemonic from any control. A text
// box otherwise keeps some of those keys for itself (Alt+F and Alt+B move a
// word on Linux desktops), so with the focus in an address or a description
// the menu bar could not be reached. Installed once on the application; other
// Alt keys still reach the text box.
class MenuKeys : public QObject
{
    Q_OBJECT
public:
    explicit MenuKeys(QObject *parent = nullptr);
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#include "MenuKeys.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

bool isTextBox(const QObject *o)
{
    return qobject_cast<const QLineEdit *>(o) || qobject_cast<const QTextEdit *>(o)
        || qobject_cast<const QPlainTextEdit *>(o) || qobject_cast<const QAbstractSpinBox *>(o);
}

// A shown menu of a menu bar of `window` whose mnemonic is `keys`.
bool opensMenu(const QWidget *window, const QKeySequence &keys)
{
    for (const QMenuBar *bar : window->findChildren<QMenuBar *>()) {
        if (!bar->isVisible())
            continue;
        for (const QAction *menu : bar->actions())
            if (menu->isVisible() && menu->isEnabled() && QKeySequence::mnemonic(menu->text()) == keys)
                return true;
    }
    return false;
}

} // namespace

MenuKeys::MenuKeys(QObject *parent) : QObject(parent)
{
}

void MenuKeys::install()
{
    if (qApp && !qApp->findChild<MenuKeys *>(QString(), Qt::FindDirectChildrenOnly))
        qApp->installEventFilter(new MenuKeys(qApp));
}

bool MenuKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride || !isTextBox(watched))
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() != Qt::AltModifier || key->key() < Qt::Key_0 || key->key() > Qt::Key_Z)
        return false;
    const auto *widget = static_cast<QWidget *>(watched);
    // Left unaccepted, the key goes to the shortcuts, where the menu bar has it.
    return opensMenu(widget->window(), QKeySequence(Qt::AltModifier | Qt::Key(key->key())));
}

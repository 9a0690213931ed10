#include "ModalRunner.h"

#include <QDialog>
#include <QTimer>

namespace {
ModalRunner::Hook g_hook;
}

int ModalRunner::exec(QDialog *dialog)
{
    if (g_hook) {
        Hook hook = g_hook;
        // The dialog is the timer's context: if it goes, the call goes too.
        QTimer::singleShot(0, dialog, [dialog, hook] {
            hook(dialog);
            if (dialog->isVisible())
                dialog->reject(); // a hook that forgot to close it must not block
        });
    }
    return dialog->exec();
}

void ModalRunner::setHook(Hook hook)
{
    g_hook = std::move(hook);
}
bool ModalRunner::hasHook()
{
    return static_cast<bool>(g_hook);
}

#pragma once
#include <functional>

class QDialog;

// Modal dialogs are shown through here. A test installs a hook that is called
// with the dialog once it is open (inside its event loop), so the test can fill
// fields and press buttons; the hook must close the dialog.
class ModalRunner
{
public:
    using Hook = std::function<void(QDialog *)>;

    static int exec(QDialog *dialog);

    // The hook for the next dialogs; cleared with an empty function.
    static void setHook(Hook hook);
    static bool hasHook();
};

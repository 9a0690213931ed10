#pragma once
#include <QString>

class QPrinter;

// What a plan window needs from the main window that holds it.
class PlanHost
{
public:
    virtual ~PlanHost() = default;

    // The folder the program writes its own files to (start-up plan,
    // dialogs' start folder, the settings copy written by a save): its own
    // folder, or the user's data folder when that cannot be written.
    virtual QString programFolder() const = 0;
    // True while the exit protocol asks every plan window to close.
    virtual bool isClosingAll() const = 0;
    // The plan windows' answer during the exit protocol.
    virtual void setCloseApproval(bool approved) = 0;
    // The number of document windows the main window holds.
    virtual int documentWindowCount() const = 0;
    // The on-screen hints setting.
    virtual bool hintsEnabled() const = 0;
    // The printer every print of the program goes to, and its set-up dialog.
    virtual QPrinter *printer() const = 0;
    virtual void printerSetup() = 0;
    // Opens a page of the help folder in the browser (nothing while a
    // browser is open).
    virtual void openHelp(const QString &page) = 0;
    // A plan was saved to `planFile` (the list of recent plans).
    virtual void rememberPlan(const QString &planFile) { Q_UNUSED(planFile); }
};

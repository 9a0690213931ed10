#pragma once
#include "auxwindows/SystemFacts.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPlainTextEdit;

// The about box: the product, its version and what the program can tell
// about this computer (memory, drives, user, processor, platform).
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    explicit TAboutBox(const SystemFacts &facts, QWidget *parent = nullptr);

    // Creates the box, shows it modally and discards it once it is closed.
    static void showAbout(QWidget *parent);

    // The two lines the drives memo shows for a chosen drive.
    static QStringList driveLines(const SystemFacts::Drive &drive);

private:
    QWidget *createHeading();
    QWidget *createTitleStrip();
    QWidget *createDrivesAndSystem();
    QWidget *createMemoryPanel();
    QWidget *createNotice();
    void DrvCBChange(int index);

    SystemFacts m_facts;
    QComboBox *m_DrvCB = nullptr;
    QPlainTextEdit *m_Memcurdrv = nullptr;
};

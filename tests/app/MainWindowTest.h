#pragma once
// What the main window's tests share: the window started with a program
// folder of its own, which is also the current folder, and the plans they
// write, open and make in it.
#include "GuiTestSupport.h"
#include "SamplePlans.h"
#include "TestFiles.h"

#include "app/PlanDocuments.h"
#include "app/frm_main.h"
#include "planwindow/frm_budget.h"
#include "widgets/frm_msg.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

class MainWindowTest : public QObject
{
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Tfrm_main> m_main;

    // Every test's start: the window shown with its start-up plan, no
    // message left from starting.
    void startMainWindow()
    {
        GuiTest::init();
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path());
        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->show();
        Tfrm_msg::takeShownTexts();
        QVERIFY(testModels<TableModel>(m_main.get()) > 0); // the start-up plan's grids
    }

    // Every test's end: the windows freed without asking, the folder gone.
    void closeMainWindow()
    {
        m_main.reset();
        QDir::setCurrent(QDir::tempPath());
        m_dir.reset();
    }

    QString path(const QString &name) const { return m_dir->filePath(name); }

    Tfrm_budget *onlyPlan() const
    {
        const auto plans = m_main->planWindows();
        return plans.size() == 1 ? plans.front() : nullptr;
    }

    // A saved plan at `file`: an income of 1000 a month and an expense of 100
    // a week, with the settings file when `frequency` >= 0.
    static void writePlan(const QString &file, int frequency) { wageAndRent().save(file, frequency); }

    Tfrm_budget *newPlanNamed(const QString &name)
    {
        ModalRunner::setHook([name](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("eb_newplan")->setText(name);
            dialog->findChild<QPushButton *>("LMDsbtn_ok")->click();
        });
        m_main->barButton("sb_new_plan")->click();
        ModalRunner::setHook({});
        return m_main->activePlanWindow();
    }
};

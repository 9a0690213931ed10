#include "frm_budget.h"
#include "ChartsPage.h"
#include "ItemsPage.h"
#include "LoansPage.h"
#include "RemindersPage.h"
#include "SavingsPage.h"
#include "PlanHost.h"

#include "plan/Clock.h"
#include "plan/PageKind.h"
#include "plan/Frequency.h"
#include "plan/MoneyFormat.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "plan/PlanLock.h"
#include "plan/ProgramFolders.h"
#include "plan/RecoveryCopy.h"
#include "DueRemindersBar.h"
#include "widgets/FixedColours.h"
#include "widgets/FlowLayout.h"
#include "widgets/HoverFocus.h"
#include "widgets/StatusPanel.h"
#include "widgets/FileDialog.h"
#include "widgets/Format.h"
#include "widgets/MessageBox.h"
#include "widgets/RadioGroup.h"

#include <QCloseEvent>
#include <QApplication>
#include <QDir>
#include <QHash>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

struct ToolDef
{
    const char *name;
    const char *caption;
    const char *tooltip;
    QStyle::StandardPixmap icon;
};

constexpr ToolDef kTools[] = {
    {"obnewitem", "New Item", "Click To Add A New Item", QStyle::SP_FileIcon},
    {"obedititem", "Edit Item", "Click To Edit The Selected Item", QStyle::SP_FileDialogDetailedView},
    {"obdeleteitem", "Delete Item", "Click To Delete The Selected Item", QStyle::SP_TrashIcon},
    {"obclearall", "Clear All", "Click To Clear All The Displayed Items", QStyle::SP_DialogResetButton},
    {"lmssbtn_addremind", "Add Reminder", "Click To Add A Reminder For The Selected Budget Item",
     QStyle::SP_MessageBoxInformation},
    {"LMDSbtn_save_plan", "Save Plan", "Click To Save The Budget Plan", QStyle::SP_DialogSaveButton},
    {"obcloseplan", "Close Plan", "Click To Close The Budget Plan", QStyle::SP_DialogCloseButton},
    {"obeditcat", "Add/Edit Categories", "Click To Add Or Edit Categories", QStyle::SP_DirIcon},
};

constexpr QSize kPagesMinimum(480, 360);

} // namespace

Tfrm_budget::Tfrm_budget(PlanHost *host, QWidget *parent)
    : PlanDocument(parent), m_host(host), m_plan(new Plan(this)), m_history(new QUndoStack(this))
{
    m_history->setObjectName(QStringLiteral("history"));
    connect(m_history, &QUndoStack::indexChanged, this, &Tfrm_budget::savedFromHistory);
    m_recoveryTimer = new QTimer(this);
    m_recoveryTimer->setSingleShot(true);
    connect(m_recoveryTimer, &QTimer::timeout, this, &Tfrm_budget::keepRecoveryCopy);
    setObjectName(QStringLiteral("frm_budget"));
    setWindowTitle(QStringLiteral("Budget"));
    // The window's own background is green (paintEvent); its controls keep
    // the desktop's colours, so the green does not spread into grid headers.

    // In a window too small for them the controls keep a usable size and the
    // window scrolls to them. The scroll area and its contents are see-through,
    // so the window's green shows behind the controls.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("planScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus); // Tab goes to its controls, not to it
    m_scroll->setWidgetResizable(true);
    m_scroll->viewport()->setAutoFillBackground(false);
    outer->addWidget(m_scroll);
    auto *contents = new QWidget;
    contents->setObjectName(QStringLiteral("planContents"));
    auto *layout = new QVBoxLayout(contents);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolbar();
    buildStatusBar();
    m_frequency = new RadioGroup(QStringLiteral("RGFrequency"), QStringLiteral("Frequency"), Frequency::names(),
                                 Frequency::count(), this);
    m_frequency->setToolTip(QStringLiteral("Select A Frequency For Your Plan"));
    m_frequency->setItemIndex(2);
    connect(m_frequency, &RadioGroup::clicked, this, &Tfrm_budget::frequencyClicked);
    buildPages();
    // What stands straight on the green takes text that reads on it in any theme.
    for (QWidget *onGreen : std::initializer_list<QWidget *>{m_toolbar, m_sbar, m_frequency})
        FixedColours::textOn(onGreen, backgroundColour());

    m_dueReminders = new DueRemindersBar(this);
    layout->addWidget(m_dueReminders);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_sbar);
    layout->addWidget(m_frequency);
    layout->addWidget(m_pages, 1);
    // Room for a few rows of the grids beside the category trees.
    m_pages->setMinimumSize(kPagesMinimum);
    m_scroll->setWidget(contents);
    contents->setAutoFillBackground(false); // setWidget turns it on

    // Creation: the currency symbol, zero totals, the items page's filters.
    m_cursymbol = MoneyFormat::currencySymbol();
    update_labels();
    m_itemsPage->applyCategoryFilter();
    m_plan->setSaved(true);
}

void Tfrm_budget::setOpenLock(std::unique_ptr<PlanLock> lock)
{
    m_openLock = std::move(lock);
}

bool Tfrm_budget::holdsOpenLock() const
{
    return m_openLock && m_openLock->isLocked();
}

void Tfrm_budget::showDueReminders()
{
    m_dueReminders->showReminders(DueReminders::within(*m_plan, Clock::today()));
}

void Tfrm_budget::buildToolbar()
{
    // The buttons keep their whole captions: in a narrow window they wrap
    // onto a second row rather than shrink.
    m_toolbar = new QWidget(this);
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    m_toolbar->setMinimumHeight(41 + 14);
    auto *bar = new FlowLayout(m_toolbar, 1);
    bar->setContentsMargins(2, 1, 2, 1);
    for (const ToolDef &def : kTools) {
        auto *b = new QToolButton(m_toolbar);
        b->setObjectName(QLatin1String(def.name));
        b->setText(QLatin1String(def.caption));
        b->setToolTip(QLatin1String(def.tooltip));
        b->setIcon(style()->standardIcon(def.icon));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setMinimumWidth(qMax(72, b->sizeHint().width()));
        HoverFocus::apply(b);
        bar->addWidget(b);
    }
    connect(toolButton("obnewitem"), &QToolButton::clicked, this, &Tfrm_budget::obnewitemClick);
    connect(toolButton("obedititem"), &QToolButton::clicked, this, &Tfrm_budget::obedititemClick);
    connect(toolButton("obdeleteitem"), &QToolButton::clicked, this, &Tfrm_budget::obdeleteitemClick);
    connect(toolButton("obclearall"), &QToolButton::clicked, this, &Tfrm_budget::obclearallClick);
    connect(toolButton("lmssbtn_addremind"), &QToolButton::clicked, this, &Tfrm_budget::lmssbtn_addremindClick);
    connect(toolButton("LMDSbtn_save_plan"), &QToolButton::clicked, this, &Tfrm_budget::LMDSbtn_save_planClick);
    connect(toolButton("obcloseplan"), &QToolButton::clicked, this, &Tfrm_budget::obcloseplanClick);
    connect(toolButton("obeditcat"), &QToolButton::clicked, this, &Tfrm_budget::obeditcatClick);
    buildItemsMenu();
}

void Tfrm_budget::buildStatusBar()
{
    m_sbar = new QStatusBar(this);
    m_sbar->setObjectName(QStringLiteral("sbar"));
    m_sbar->setSizeGripEnabled(false);
    m_sbar->setToolTip(QStringLiteral("Plan Balance Totals As Per Frequncy"));
    for (int i = 0; i < 5; ++i) {
        m_panels[i] = new StatusPanel(m_sbar);
        m_panels[i]->setObjectName(QStringLiteral("sbar_panel%1").arg(i));
        m_panels[i]->setAlignment(Qt::AlignCenter);
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setMinimumWidth(0);
        // Each panel takes a fifth of the window's width, whatever its text:
        // the texts' own widths do not count.
        m_panels[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        m_sbar->addWidget(m_panels[i], 1);
    }
}

void Tfrm_budget::buildPages()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("main_pc"));
    m_itemsPage = new ItemsPage(this);
    m_pages->addTab(m_itemsPage, QStringLiteral("Budget Items"));
    m_pages->setTabToolTip(0, QStringLiteral("Click This Tab To Display Income and Expense Items"));
    m_savingsPage = new SavingsPage(this);
    m_pages->addTab(m_savingsPage, QStringLiteral("Savings Items"));
    m_loansPage = new LoansPage(this);
    m_pages->addTab(m_loansPage, QStringLiteral("Loans"));
    m_remindersPage = new RemindersPage(this);
    m_pages->addTab(m_remindersPage, QStringLiteral("Reminders"));
    m_chartsPage = new ChartsPage(this);
    m_pages->addTab(m_chartsPage, QStringLiteral("Charts"));
    m_pages->setCurrentIndex(0);
    connect(m_pages, &QTabWidget::currentChanged, this, &Tfrm_budget::pageShown);
}

QToolButton *Tfrm_budget::toolButton(const QString &objectName) const
{
    return m_toolbar->findChild<QToolButton *>(objectName);
}

bool Tfrm_budget::hintsEnabled() const
{
    return m_host && m_host->hintsEnabled();
}

bool Tfrm_budget::saved() const
{
    return m_plan->isSaved();
}
void Tfrm_budget::setSaved(bool saved)
{
    m_plan->setSaved(saved);
    // The history's clean state is the plan as saved: undo and redo reach
    // it again (a mark of unsaved changes without a change leaves it).
    if (saved) {
        m_history->setClean();
        discardRecoveryCopy();
    }
}

int Tfrm_budget::displayFrequency() const
{
    return m_frequency->itemIndex();
}
QString Tfrm_budget::displayFrequencyName() const
{
    return m_frequency->currentText();
}

void Tfrm_budget::setDisplayFrequency(int index)
{
    if (index < 0 || index >= Frequency::count() || index == m_frequency->itemIndex())
        return;
    m_frequency->setItemIndex(index);
    m_plan->setDisplayFrequency(index);
    frequencyClicked();
}

void Tfrm_budget::frequencyClicked()
{
    m_plan->setDisplayFrequency(m_frequency->itemIndex());
    m_sbar->setToolTip(QStringLiteral("Plan Balance Totals as : ") + displayFrequencyName());
    updateall();
}

void Tfrm_budget::pageShown(int index)
{
    QWidget *page = m_pages->widget(index);
    if (page == m_itemsPage) {
        m_itemsPage->pageShown();
    } else if (page == m_savingsPage) {
        m_pagekind = PageKind::Savings;
        m_savingsPage->pageShown();
    } else if (page == m_loansPage) {
        m_pagekind = PageKind::Loan;
        m_loansPage->pageShown();
    } else if (page == m_remindersPage) {
        m_remindersPage->pageShown(); // sets pagekind "reminder" after reading it
    } else if (page == m_chartsPage) {
        m_chartsPage->pageShown(); // pagekind stays as it was
    }
}

// --- refresh routines ----------------------------------------------------------

void Tfrm_budget::updateall()
{
    if (m_host && m_host->documentWindowCount() == 1) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->raise();
    }
    m_totals = computePlanTotals(*m_plan, displayFrequencyName(), Clock::now());
    update_labels();
}

void Tfrm_budget::update_labels()
{
    const QStringList texts = statusBarTexts(m_totals, m_cursymbol);
    int widest = 0;
    for (int i = 0; i < 5; ++i) {
        m_panels[i]->setText(texts.at(i));
        widest = qMax(widest, m_panels[i]->fontMetrics().horizontalAdvance(texts.at(i)));
    }
    // Five equal panels, each wide enough for its caption and amount: a
    // narrower window scrolls.
    const int panel = widest + 2 * (m_panels[0]->frameWidth() + m_panels[0]->margin()) + 12;
    m_sbar->setMinimumWidth(5 * panel);
}

QStringList Tfrm_budget::statusTexts() const
{
    QStringList out;
    for (const QLabel *l : m_panels)
        out << l->text();
    return out;
}

QString Tfrm_budget::statusToolTip() const
{
    return m_sbar->toolTip();
}

// F1: the help page of the control that has the focus (a toolbar button, the
// items grid, the category trees); the contents when none of them has it.
void Tfrm_budget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_F1 || !m_host) {
        PlanDocument::keyPressEvent(event);
        return;
    }
    static const QHash<QString, QString> pages = {
        {QStringLiteral("obnewitem"), QStringLiteral("hlp_newitem.html")},
        {QStringLiteral("obedititem"), QStringLiteral("hlp_edititem.html")},
        {QStringLiteral("obdeleteitem"), QStringLiteral("hlp_deleteitem.html")},
        {QStringLiteral("obclearall"), QStringLiteral("hlp_clearall.html")},
        {QStringLiteral("lmssbtn_addremind"), QStringLiteral("hlp_reminders.html")},
        {QStringLiteral("LMDSbtn_save_plan"), QStringLiteral("hlp_saveplan.html")},
        {QStringLiteral("obcloseplan"), QStringLiteral("hlp_closeplan.html")},
        {QStringLiteral("obeditcat"), QStringLiteral("hlp_editcategories.html")},
        {QStringLiteral("dbgincome"), QStringLiteral("hlp_budgetitems.html")},
        {QStringLiteral("tvcatinc"), QStringLiteral("hlp_add_category.html")},
        {QStringLiteral("tvcatexp"), QStringLiteral("hlp_add_category.html")},
        {QStringLiteral("dbecatdisplay"), QStringLiteral("hlp_add_category.html")},
    };
    QString page = QStringLiteral("hlp_contents_index.html");
    for (QWidget *w = QApplication::focusWidget(); w && w != this; w = w->parentWidget()) {
        if (pages.contains(w->objectName())) {
            page = pages.value(w->objectName());
            break;
        }
        if (w == m_itemsPage) {
            page = QStringLiteral("hlp_budgetitems.html");
            break;
        }
    }
    m_host->openHelp(page);
    event->accept();
}

QColor Tfrm_budget::backgroundColour()
{
    return QColor(192, 220, 192);
}

void Tfrm_budget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), backgroundColour());
}

void Tfrm_budget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    adjustcolwidths();
}

void Tfrm_budget::adjustcolwidths()
{
    m_itemsPage->adjustcolwidths();
    m_savingsPage->adjustcolwidths();
    m_loansPage->adjustcolwidths();
}

void Tfrm_budget::cb_item_total_freqChange()
{
    m_itemsPage->cb_item_total_freqChange();
}

void Tfrm_budget::rebuildCategoryTrees()
{
    ::rebuildCategoryTrees(*m_plan);
}

void Tfrm_budget::activate()
{
    rebuildCategoryTrees();
    if (m_host && m_host->hintsEnabled())
        m_sbar->setToolTip(QStringLiteral("Plan Balance Totals as : ") + displayFrequencyName());
    cb_item_total_freqChange();
}

// --- plan files ------------------------------------------------------------------

bool Tfrm_budget::hasFileOnDisk() const
{
    const QFileInfo file(m_planfile);
    return !m_planfile.isEmpty() && file.isAbsolute() && file.isFile();
}

QString Tfrm_budget::programFolder() const
{
    if (m_host)
        return m_host->programFolder();
    const QString folder = ProgramFolders::userDataFolder();
    QDir().mkpath(folder);
    return folder;
}

QString Tfrm_budget::planFileName() const
{
    return QFileInfo(m_planfile).fileName();
}

bool Tfrm_budget::savePlan()
{
    const QString folder = m_host ? m_host->programFolder() : QDir::currentPath();
    bool writeTables = true;
    if (!saved()) {
        FileDialog::Request request;
        request.title = QStringLiteral("Save \"Untitled\" Budget Plan As");
        // In the plan's own folder, else where the person last was: never the
        // program's hidden folder that a new plan's name points into.
        request.directory = FileDialog::startFolder(m_planfile);
        request.fileName = planFileName();
        request.defaultSuffix = QStringLiteral("pkb");
        request.filter = QStringLiteral("Pursekeep files (*.pkb *.PKB)");
        const std::optional<QString> chosen = FileDialog::getSaveFileName(this, request);
        if (chosen)
            m_planfile = *chosen;
        else
            writeTables = false;
    }
    // The five tables and the settings file beside them are saved together:
    // after a failure every old file is as it was.
    const QString settings = QDir(folder).filePath(planFileName() + QStringLiteral("ini"));
    try {
        if (writeTables) {
            if (!mayReplaceFilesOnDisk())
                return false;
            // The plan the save replaces is kept among its backups.
            PlanFiles::SaveBackup backup;
            backup.folder = ProgramFolders::backupsFolder();
            m_diskState = PlanFiles::savePlan(*m_plan, m_planfile, settings, displayFrequency(), &backup);
            m_backupProblem = backup.problem;
            setWindowTitle(planFileName());
            keepOpenLock();
            if (m_host)
                m_host->rememberPlan(m_planfile);
        } else {
            PlanFiles::writeDisplayFrequency(settings, displayFrequency());
        }
    } catch (const PlanFileError &) {
        return false;
    }
    return writeTables;
}

bool Tfrm_budget::mayReplaceFilesOnDisk()
{
    const QString name = QLatin1Char('"') + planFileName() + QLatin1Char('"');
    if (PlanFiles::changedOnDisk(m_diskState, m_planfile)) {
        const QString text = name
            + QStringLiteral(" has been changed on disk by another program since it was "
                             "opened or last saved here.\nSaving now replaces those changes "
                             "with this plan. Overwrite it?");
        return MessageBox::warningYesNo(this, text) == MessageBox::Answer::Yes;
    }
    if (m_openLock && m_openLock->fileName() == PlanLock::fileName(m_planfile, PlanLock::Kind::Open))
        return true;
    PlanLock other(m_planfile, PlanLock::Kind::Open);
    if (other.tryLock() != PlanLock::Result::HeldElsewhere)
        return true;
    const QString text = name
        + QStringLiteral(" is open in another copy of the program (%1).\nSaving now "
                         "replaces the plan it shows. Overwrite it?")
              .arg(other.holder());
    return MessageBox::warningYesNo(this, text) == MessageBox::Answer::Yes;
}

void Tfrm_budget::keepOpenLock()
{
    const QString lockFile = PlanLock::fileName(m_planfile, PlanLock::Kind::Open);
    if (m_openLock && m_openLock->fileName() == lockFile)
        return;
    // Saved under another name: the lock moves with the plan when it can.
    auto lock = std::make_unique<PlanLock>(m_planfile, PlanLock::Kind::Open);
    if (lock->tryLock() == PlanLock::Result::Locked)
        m_openLock = std::move(lock);
    else
        m_openLock.reset();
}

// --- closing -------------------------------------------------------------------------

QString Tfrm_budget::closeQuestion() const
{
    const QChar cr(13);
    return QStringLiteral("Changes made to : ") + cr + QLatin1Char('"') + m_planfile + QLatin1Char('"') + cr
        + QStringLiteral("have NOT been saved.") + cr + QStringLiteral("Do you wish to save them now ?");
}

void Tfrm_budget::closeEvent(QCloseEvent *event)
{
    // The display frequency goes beside the plan whatever the answer below;
    // a settings file that cannot be written does not stop the close. A plan
    // that no file holds yet (new, imported, the sample) has no place for it:
    // it would land beside a name that is no file, in whatever folder is current.
    if (hasFileOnDisk()) {
        try {
            PlanFiles::writeDisplayFrequency(PlanFiles::settingsFile(m_planfile), displayFrequency());
        } catch (const PlanFileError &) {
        }
    }
    if (m_planfile.isEmpty())
        m_planfile = QStringLiteral("untitled");

    if (m_host && m_host->isClosingAll()) {
        event->ignore(); // the main window decides what becomes of the window
        if (saved())
            return;
        switch (MessageBox::warningYesNoCancel(this, closeQuestion())) {
        case MessageBox::Answer::Yes: {
            const bool ok = savePlan();
            setSaved(ok);
            m_host->setCloseApproval(ok);
            break;
        }
        case MessageBox::Answer::No: m_host->setCloseApproval(true); break;
        default: m_host->setCloseApproval(false); break;
        }
        return;
    }

    if (saved()) {
        event->accept();
        return;
    }
    switch (MessageBox::warningYesNoCancel(this, closeQuestion())) {
    case MessageBox::Answer::Yes: {
        const bool ok = savePlan();
        setSaved(ok);
        if (ok)
            event->accept();
        else
            event->ignore();
        break;
    }
    case MessageBox::Answer::No: event->accept(); break;
    default: event->ignore(); break;
    }
}

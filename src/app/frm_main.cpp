#include "frm_main.h"
#include "HintsPanel.h"
#include "PlanDocuments.h"
#include "RxCalc.h"

#include "app/PlanDocumentReport.h"
#include "auxwindows/AboutBox.h"
#include "auxwindows/Pictures.h"
#include "plan/ProgramFolders.h"
#include "planwindow/frm_budget.h"
#include "reports/PlanReport.h"
#include "widgets/Format.h"
#include "widgets/HoverFocus.h"
#include "widgets/MenuKeys.h"
#include "widgets/MessageBox.h"
#include "widgets/ModalRunner.h"
#include "widgets/OnScreenHints.h"
#include "widgets/ReportOutput.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QUndoGroup>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>

Tfrm_main::Tfrm_main(const QString &programFolder, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frm_main"));
    setWindowTitle(QStringLiteral("Kavo Pursekeep"));
    setWindowIcon(Pictures::programIcon());

    // Dates are day/month/year with slashes everywhere in the program; the
    // format in force before is put back at exit.
    m_systemDateFormat = Format::shortDateFormat();
    Format::setShortDateFormat(QStringLiteral("dd/MM/yyyy"));

    // An installed program finds its read-only files in the install's share
    // folder and writes its own files in the user's data folder.
    const QString executableFolder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    m_resourceFolder = ProgramFolders::resourceFolder(executableFolder);
    m_programFolder = ProgramFolders::writableFolder(executableFolder);
    DocumentArea &area = *this;
    m_documents = std::make_unique<PlanDocuments>(area, m_programFolder, m_resourceFolder);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildButtonBar();
    m_mdi = new QMdiArea(central);
    m_mdi->setObjectName(QStringLiteral("documentArea"));
    m_mdi->setBackground(palette().brush(QPalette::Window));
    layout->addWidget(m_buttonBar);
    layout->addWidget(m_mdi, 1);
    setCentralWidget(central);
    m_undoGroup = new QUndoGroup(this);
    buildMenus();
    m_hintsPanel = new HintsPanel(m_mdi, {m_showStartupAct, m_showHintsAct}, m_programFolder, m_resourceFolder);
    MenuKeys::install();
    OnScreenHints::install();
    m_hintsPanel->applyConfiguration();

    connect(m_mdi, &QMdiArea::subWindowActivated, this, &Tfrm_main::subWindowActivated);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size());
    updateMenus();
}

Tfrm_main::~Tfrm_main()
{
    // The document windows go with this window; they are not activated on the way.
    disconnect(m_mdi, nullptr, this, nullptr);
}

// --- the button bar ----------------------------------------------------------------------

void Tfrm_main::buildButtonBar()
{
    m_buttonBar = new QFrame(this);
    m_buttonBar->setObjectName(QStringLiteral("pnl_main_buttons"));
    m_buttonBar->setFixedHeight(41);
    m_buttonBar->setFrameShape(QFrame::Panel);
    m_buttonBar->setFrameShadow(QFrame::Sunken);
    auto *bar = new QHBoxLayout(m_buttonBar);
    bar->setContentsMargins(8, 8, 7, 8);
    bar->setSpacing(7);
    m_openPlanButton = addBarButton("sbtn_openplan", "Open Plan", "Click To Open A Saved Budget Plan", 105,
                                    QStyle::SP_DialogOpenButton);
    m_newPlanButton =
        addBarButton("sb_new_plan", "New Plan", "Click To Create A New Budget Plan", 105, QStyle::SP_FileIcon);
    m_internetButton =
        addBarButton("sbtn_mylinks", "Internet", "Click To Browse The Internet", 105, QStyle::SP_DriveNetIcon);
    bar->addStretch(1);
    m_loanCalculatorButton = addBarButton("LMDSB_loancalc", "Loan Calculator", "Click To Open The Loan Calculator", 121,
                                          QStyle::SP_FileDialogInfoView);
    m_calculatorButton =
        addBarButton("sbtn_calc", "Calculator", "Click To Open The Calculator", 121, QStyle::SP_ComputerIcon);
    m_exitButton = addBarButton("sbtn_exit", "Exit", "Click To Exit", 121, QStyle::SP_DialogCloseButton);
    m_buttonHelp = {{m_openPlanButton, QStringLiteral("hlp_openplan.html")},
                    {m_newPlanButton, QStringLiteral("hlp_newplan.html")},
                    {m_internetButton, QStringLiteral("hlp_internet.html")},
                    {m_loanCalculatorButton, QStringLiteral("hlp_loanscalc_scenario.html")},
                    {m_calculatorButton, QStringLiteral("hlp_calculator.html")}};

    connect(m_openPlanButton, &QToolButton::clicked, m_documents.get(), [this] { m_documents->openPlan(); });
    connect(m_newPlanButton, &QToolButton::clicked, m_documents.get(), &PlanDocuments::newPlan);
    connect(m_exitButton, &QToolButton::clicked, this, &QWidget::close);
    connect(m_calculatorButton, &QToolButton::clicked, this, &Tfrm_main::showCalculator);
    connect(m_loanCalculatorButton, &QToolButton::clicked, this, &Tfrm_main::openLoanCalculator);
    connect(m_internetButton, &QToolButton::clicked, this, [this] { openBrowser(QUrl()); });
}

// A button of the bar: a small picture beside a bold caption, at least
// `width` wide (wider where the caption needs it), in the order added.
QToolButton *Tfrm_main::addBarButton(const char *name, const char *caption, const char *tooltip, int width,
                                     QStyle::StandardPixmap icon)
{
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    auto *b = new QToolButton(m_buttonBar);
    b->setObjectName(QLatin1String(name));
    b->setText(QLatin1String(caption));
    b->setToolTip(QLatin1String(tooltip));
    b->setIcon(style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setFixedHeight(25);
    b->setMinimumWidth(width);
    b->setFont(font);
    b->setFocusPolicy(Qt::StrongFocus);
    HoverFocus::apply(b);
    m_buttonBar->layout()->addWidget(b);
    return b;
}

QToolButton *Tfrm_main::barButton(const QString &objectName) const
{
    return m_buttonBar->findChild<QToolButton *>(objectName);
}

// F1 on a button of the button bar opens its help page.
void Tfrm_main::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        const QString page = m_buttonHelp.value(QApplication::focusWidget());
        if (!page.isEmpty()) {
            openHelp(page);
            event->accept();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

// --- what the plan windows ask of the main window -----------------------------------------

void Tfrm_main::rememberPlan(const QString &planFile)
{
    m_documents->rememberPlan(planFile);
}

bool Tfrm_main::hintsEnabled() const
{
    return m_hintsPanel->hintsEnabled();
}

// --- tools, printing and help ---------------------------------------------------------------

void Tfrm_main::showAbout()
{
    TAboutBox::showAbout(this);
}

void Tfrm_main::showCalculator()
{
    RxCalc calculator(this);
    ModalRunner::exec(&calculator);
}

QPrinter *Tfrm_main::printer() const
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void Tfrm_main::printerSetup()
{
    QPrintDialog dialog(printer(), this);
    dialog.setObjectName(QStringLiteral("PSD"));
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    // Setting up prints nothing: the dialog confirms the choice with OK.
    for (QDialogButtonBox *buttons : dialog.findChildren<QDialogButtonBox *>())
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    ModalRunner::exec(&dialog);
}

// The printed plan of the active plan window, on the program's printer or in
// the preview.
void Tfrm_main::printPlan(bool preview)
{
    Tfrm_budget *window = activePlanWindow();
    if (!window)
        return;
    const PlanReport report(planReportInput(*window, m_programFolder));
    const ReportLayout layout = report.layout();
    if (preview)
        ReportOutput::preview(this, printer(), layout);
    else
        ReportOutput::print(this, printer(), layout);
}

namespace {
const QString kBugAddress = QStringLiteral("support@kavopursekeep.example");
const QString kBugSubject = QStringLiteral("Report A Bug - Kavo Pursekeep Version 3");
} // namespace

QString Tfrm_main::bugReportUrl()
{
    QUrl url(QStringLiteral("mailto:") + kBugAddress);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("Subject"), kBugSubject);
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

void Tfrm_main::reportABug()
{
    // The desktop's mail program opens a new message; nothing waits for it.
    // Where none takes the link, the address and the subject are shown, each
    // on a line of its own, to be written to by hand.
    if (QDesktopServices::openUrl(QUrl(bugReportUrl(), QUrl::StrictMode)))
        return;
    MessageBox::information(this,
                            QStringLiteral("No mail program answered. To report a bug, write to\n\n%1\n\n"
                                           "with the subject\n\n%2")
                                .arg(kBugAddress, kBugSubject));
}

// --- start and exit ------------------------------------------------------------------------

void Tfrm_main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShown) {
        m_firstShown = true;
        m_documents->openAtStart(m_plansToOpen);
    }
    if (m_hintsPanel->isVisible())
        m_hintsPanel->place();
}

void Tfrm_main::closeEvent(QCloseEvent *event)
{
    m_closeApproval = true;
    m_closingAll = true;
    const QList<QMdiSubWindow *> windows = documentWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QMdiSubWindow *sub = *it;
        if (qobject_cast<Tfrm_budget *>(sub->widget())) {
            sub->close(); // the plan window answers through setCloseApproval
            if (!m_closeApproval) {
                bringForward(sub);
                break;
            }
            sub->showMinimized();
        } else {
            sub->close();
        }
    }
    if (!m_closeApproval) {
        m_closingAll = false;
        event->ignore();
        return;
    }
    Format::setShortDateFormat(m_systemDateFormat);
    event->accept();
}

#include "auxwindows/frm_browser.h"

#include "auxwindows/AnimatedPicture.h"
#include "auxwindows/Pictures.h"
#include "plan/ListFile.h"
#include "plan/PlanFileError.h"
#include "widgets/FixedColours.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <functional>

// The web page of the browser window, telling it before every navigation of
// the main frame (a typed address, a link, a button).
class BrowserPage : public QWebEnginePage
{
public:
    BrowserPage(std::function<void()> beforeNavigation, QObject *parent)
        : QWebEnginePage(parent), m_beforeNavigation(std::move(beforeNavigation))
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame)
            m_beforeNavigation();
        return true;
    }

private:
    std::function<void()> m_beforeNavigation;
};

namespace {

void sortWithoutCase(QStringList &entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}
} // namespace

QUrl Tfrm_browser::homePage(const QString &programFolder)
{
    return QUrl::fromLocalFile(QDir(programFolder).filePath(QStringLiteral("help/hlp_Contents_index_main.html")));
}

QUrl Tfrm_browser::searchPage()
{
    return QUrl(QStringLiteral("https://duckduckgo.com/"));
}

Tfrm_browser::Tfrm_browser(const QString &programFolder, const QString &ownFolder, const QUrl &start, QWidget *parent)
    : QWidget(parent), m_programFolder(programFolder),
      m_historyFile(QDir(ownFolder).filePath(QStringLiteral("hist.txt")))
{
    setObjectName(QStringLiteral("frm_browser"));
    setWindowTitle(QStringLiteral("Kavo Internet Browser"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1008, 719);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *top = new QFrame(this);
    top->setObjectName(QStringLiteral("pnl_url"));
    top->setFixedHeight(73);
    // The captions read on the middle of the sky's light blue.
    FixedColours::textOn(top, QColor(235, 242, 251), true);
    QPalette sky = top->palette();
    QLinearGradient gradient(0, 0, 1, 0);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0, QColor(220, 232, 248));
    gradient.setColorAt(1, QColor(250, 252, 255));
    sky.setBrush(QPalette::Window, gradient);
    top->setPalette(sky);
    auto *grid = new QGridLayout(top);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    QToolButton *back = navigationButton("LMDbtn_back", "Back", "Go Back", QStyle::SP_ArrowBack);
    QToolButton *fwd = navigationButton("LMDbtn_fwd", "Fwd", "Go Forward", QStyle::SP_ArrowForward);
    QToolButton *stop = navigationButton("LMDbtn_stop", "Stop", "Stop", QStyle::SP_BrowserStop);
    QToolButton *refresh = navigationButton("LMDBtn_refresh", "Refresh", "Refresh", QStyle::SP_BrowserReload);
    QToolButton *home = navigationButton("LMDBtn_home", "Home", nullptr, QStyle::SP_DirHomeIcon);
    QToolButton *search = navigationButton("LMDBtn_search", "Search", nullptr, QStyle::SP_FileDialogContentsView);
    for (QToolButton *b : {back, fwd, stop, refresh, home, search})
        buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 0, 1, 3);
    m_busy = new AnimatedPicture(&Pictures::searchingComputer, Pictures::searchFrameCount,
                                 Pictures::searchFrameMilliseconds, top);
    m_busy->setObjectName(QStringLiteral("RxGIF"));
    m_busy->setFixedSize(48, 36);
    m_busy->setRunning(false);
    grid->addWidget(m_busy, 0, 3, Qt::AlignRight | Qt::AlignTop);

    auto *label = new QLabel(QStringLiteral("Address"), top);
    label->setObjectName(QStringLiteral("Label1"));
    grid->addWidget(label, 1, 0);
    m_history = new QComboBox(top);
    m_history->setObjectName(QStringLiteral("cb_history"));
    m_history->setEditable(true);
    m_history->setInsertPolicy(QComboBox::NoInsert);
    m_history->setContextMenuPolicy(Qt::CustomContextMenu);
    m_history->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    label->setBuddy(m_history);
    m_history->lineEdit()->setAccessibleName(QStringLiteral("Address"));
    grid->addWidget(m_history, 1, 1);
    auto *go = new QToolButton(top);
    go->setObjectName(QStringLiteral("btn_go"));
    go->setText(QStringLiteral("GO"));
    grid->addWidget(go, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(top);

    auto *popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("bcpopup"));
    QAction *clear = popup->addAction(QStringLiteral("&Clear History"));
    clear->setObjectName(QStringLiteral("ClearHistory1"));
    connect(clear, &QAction::triggered, this, &Tfrm_browser::clearHistory);
    const auto showPopup = [this, popup](const QPoint &pos) {
        popup->popup(qobject_cast<QWidget *>(sender())->mapToGlobal(pos));
    };
    connect(m_history, &QWidget::customContextMenuRequested, this, showPopup);
    connect(m_history->lineEdit(), &QWidget::customContextMenuRequested, this, showPopup);

    m_webb = new QWebEngineView(this);
    m_webb->setObjectName(QStringLiteral("webb"));
    m_webb->setPage(new BrowserPage([this] { navigationStarted(); }, m_webb));
    layout->addWidget(m_webb, 1);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("SBP"));
    bar->setFixedHeight(33);
    bar->setSizeGripEnabled(false);
    m_status = new QLabel(bar);
    m_status->setObjectName(QStringLiteral("status_text"));
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("LMDPB"));
    m_progress->setFixedWidth(200);
    m_progress->setValue(0);
    bar->addWidget(m_status, 1);
    bar->addPermanentWidget(m_progress);
    layout->addWidget(bar);

    m_fileMenu = new QMenu(QStringLiteral("&File"), this);
    m_fileMenu->setObjectName(QStringLiteral("File2"));
    QAction *close = m_fileMenu->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                           QStringLiteral("&Close Kavo Browser"));
    close->setObjectName(QStringLiteral("CloseKavoBrowser1"));
    connect(close, &QAction::triggered, this, [this] {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->close();
        else
            this->close();
    });

    // The control's own errors are not the user's business: the page stays.
    connect(back, &QToolButton::clicked, m_webb, &QWebEngineView::back);
    connect(fwd, &QToolButton::clicked, m_webb, &QWebEngineView::forward);
    connect(stop, &QToolButton::clicked, m_webb, &QWebEngineView::stop);
    connect(refresh, &QToolButton::clicked, m_webb, &QWebEngineView::reload);
    connect(home, &QToolButton::clicked, this, [this] { m_webb->load(homePage(m_programFolder)); });
    connect(search, &QToolButton::clicked, this, [this] { m_webb->load(searchPage()); });
    connect(go, &QToolButton::clicked, this, &Tfrm_browser::btn_goClick);
    connect(m_history->lineEdit(), &QLineEdit::returnPressed, this, &Tfrm_browser::btn_goClick);

    connect(m_webb, &QWebEngineView::loadStarted, this, [this] { m_busy->setRunning(true); });
    connect(m_webb, &QWebEngineView::loadFinished, this, [this] {
        m_busy->setRunning(false);
        nameWebPage();
    });
    connect(m_webb, &QWebEngineView::titleChanged, this, &Tfrm_browser::nameWebPage);
    connect(m_webb, &QWebEngineView::loadProgress, this, [this](int progress) {
        m_progress->setMaximum(100);
        m_progress->setValue(progress);
    });
    connect(m_webb->page(), &QWebEnginePage::linkHovered, m_status, &QLabel::setText);

    m_webb->load(start.isEmpty() ? homePage(programFolder) : start);
}

Tfrm_browser::~Tfrm_browser() = default;

void Tfrm_browser::whenClosed(QObject *context, std::function<void()> handler)
{
    connect(this, &Tfrm_browser::closed, context, std::move(handler));
}

QToolButton *Tfrm_browser::navigationButton(const char *name, const char *caption, const char *hint, int picture)
{
    auto *b = new QToolButton(this);
    b->setObjectName(QLatin1String(name));
    b->setText(QLatin1String(caption));
    if (hint)
        b->setToolTip(QLatin1String(hint));
    b->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(picture)));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFixedSize(49, 33 + 8);
    b->setAutoRaise(true);
    return b;
}

QStringList Tfrm_browser::historyEntries() const
{
    QStringList out;
    for (int i = 0; i < m_history->count(); ++i)
        out << m_history->itemText(i);
    return out;
}

// The page takes the keys through a widget of the web engine's own, made
// when the first page loads; a screen reader names it by the page's title.
void Tfrm_browser::nameWebPage()
{
    const QString name = m_webb->title().isEmpty() ? QStringLiteral("Web Page") : m_webb->title();
    if (m_webb->accessibleName() != name)
        m_webb->setAccessibleName(name);
    if (QWidget *content = m_webb->focusProxy())
        content->setAccessibleName(name);
}

QString Tfrm_browser::statusText() const
{
    return m_status->text();
}

void Tfrm_browser::loadHistory()
{
    const std::optional<QStringList> lines = ListFile::load(m_historyFile);
    if (!lines)
        return;
    const QString typed = m_history->currentText();
    QStringList entries = *lines;
    sortWithoutCase(entries);
    m_history->clear();
    m_history->addItems(entries);
    m_history->setEditText(typed);
}

void Tfrm_browser::addToHistory(const QString &address)
{
    if (address.isEmpty())
        return;
    for (int i = 0; i < m_history->count(); ++i)
        if (m_history->itemText(i).compare(address, Qt::CaseInsensitive) == 0)
            return;
    QStringList entries = historyEntries();
    entries << address;
    sortWithoutCase(entries);
    const QString typed = m_history->currentText();
    m_history->clear();
    m_history->addItems(entries);
    m_history->setEditText(typed);
}

// The history grows from the address box's text as each navigation starts.
void Tfrm_browser::navigationStarted()
{
    m_busy->setRunning(true);
    const QString address = m_history->currentText();
    m_status->setText(address);
    addToHistory(address);
}

void Tfrm_browser::btn_goClick()
{
    const QString address = m_history->currentText().trimmed();
    if (address.isEmpty())
        return;
    m_webb->load(QUrl::fromUserInput(address, QDir::currentPath()));
}

void Tfrm_browser::clearHistory()
{
    const QString typed = m_history->currentText();
    m_history->clear();
    m_history->setEditText(typed);
}

void Tfrm_browser::activate()
{
    loadHistory();
}

bool Tfrm_browser::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && isWindow())
        activate();
    return QWidget::event(event);
}

void Tfrm_browser::closeEvent(QCloseEvent *event)
{
    try {
        ListFile::write(m_historyFile, historyEntries());
    } catch (const FileWriteError &) {
        // The history is a convenience; the window closes all the same.
    }
    emit closed();
    QWidget::closeEvent(event);
}

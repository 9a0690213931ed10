#include "GuiTestSupport.h"
#include "LinkedBrowser.h"
#include "TestFiles.h"

#include "app/frm_main.h"
#include "plan/ListFile.h"
#include "planwindow/frm_budget.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

// The browser window and the help pages it shows: F1 and Contents, one
// browser at a time, the address history and the menus it stands in for.
class TestBrowser : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Tfrm_main> m_main;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    void closeBrowser()
    {
        Tfrm_browser *web = LinkedBrowser::of(m_main.get());
        QVERIFY(web);
        web->fileMenu()->findChild<QAction *>("CloseKavoBrowser1")->trigger();
        QTRY_VERIFY(!m_main->browser());
        QVERIFY(!m_main->isBrowserOpen());
    }
    void pressF1(QWidget *control)
    {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
    }
    QUrl helpPage(const QString &page) const { return QUrl::fromLocalFile(path("help/" + page)); }

private slots:
    void initTestCase()
    {
        GuiTest::initTestCase();
        LinkedBrowser::use();
    }
    void init()
    {
        GuiTest::init();
        m_dir = std::make_unique<QTemporaryDir>();
        QDir(m_dir->path()).mkdir("help");
        for (const char *page : {"hlp_newplan.html", "hlp_Contents_index_main.html", "hlp_deleteitem.html"})
            writeFile(path(QString("help/") + page),
                      QByteArray("<html><head><title>") + page + "</title></head></html>");
        QDir::setCurrent(m_dir->path());
        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }
    void cleanup()
    {
        m_main.reset();
        QDir::setCurrent(QDir::tempPath());
        m_dir.reset();
        GUITEST_CLEANUP();
    }

    // Without its plugin the browser says why it cannot open, and the main
    // window carries on as before; the next try that finds it opens it.
    void browserWithoutItsPlugin()
    {
        BrowserLoader::setFactory(nullptr); // nothing beside the test program
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        const qsizetype windows = m_main->documentArea()->subWindowList().size();
        m_main->action("Content1")->trigger();
        const QStringList shown = GuiTest::shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.front().startsWith("The browser cannot be opened: the browser plugin was not found (looked for "
                                          + BrowserLoader::pluginFiles().front()),
                 qPrintable(shown.front()));
        QVERIFY(!m_main->browser());
        QVERIFY(!m_main->isBrowserOpen());
        QCOMPARE(m_main->documentArea()->subWindowList().size(), windows);
        QVERIFY(!m_main->findChild<QFrame *>("pnl_main_buttons")->isHidden());

        LinkedBrowser::use();
        m_main->action("Content1")->trigger();
        QVERIFY(m_main->isBrowserOpen());
        closeBrowser();
    }

    // F1 on a button opens its page; while a browser is open no other
    // opens; after it closes F1 works again. The button bar and the main
    // window's menus give way to the browser.
    void helpOpensOneBrowserAtATime()
    {
        QToolButton *newPlan = m_main->barButton("sb_new_plan");
        pressF1(newPlan);
        Tfrm_browser *web = LinkedBrowser::of(m_main.get());
        QVERIFY(web);
        QTRY_COMPARE(web->view()->url(), helpPage("hlp_newplan.html"));
        QCOMPARE(web->windowTitle(), QString("Kavo Internet Browser"));
        QVERIFY(m_main->findChild<QFrame *>("pnl_main_buttons")->isHidden());
        QStringList shownMenus;
        for (QAction *menu : m_main->menuBar()->actions())
            if (menu->isVisible())
                shownMenus << menu->text();
        QCOMPARE(shownMenus, QStringList{"&File"});
        QCOMPARE(web->fileMenu()->actions().front()->text(), QString("&Close Kavo Browser"));

        m_main->action("Content1")->trigger(); // nothing while a browser is open
        m_main->barButton("sbtn_mylinks")->click();
        int browsers = 0;
        for (QMdiSubWindow *sub : m_main->documentArea()->subWindowList())
            browsers += qobject_cast<Tfrm_browser *>(sub->widget()) != nullptr;
        QCOMPARE(browsers, 1);
        QTRY_COMPARE(web->view()->url(), helpPage("hlp_newplan.html"));

        closeBrowser();
        QVERIFY(!m_main->findChild<QFrame *>("pnl_main_buttons")->isHidden());
        m_main->action("Content1")->trigger();
        QVERIFY(m_main->browser());
        QTRY_COMPARE(LinkedBrowser::of(m_main.get())->view()->url(), helpPage("hlp_Contents_index_main.html"));
        closeBrowser();
        for (QAction *menu : m_main->menuBar()->actions())
            QVERIFY2(menu->isVisible(), qPrintable(menu->text()));

        // A page that is not there still opens the browser.
        pressF1(m_main->barButton("sbtn_calc"));
        QVERIFY(m_main->browser());
        QTRY_COMPARE(LinkedBrowser::of(m_main.get())->view()->url(), helpPage("hlp_calculator.html"));
        closeBrowser();
    }

    // The browser opens maximised; restored it is 1008 x 719, or as much of
    // that as the document area holds at the time, its address box and GO
    // button where they can be clicked.
    void restoredBrowserFitsTheDocumentArea_data()
    {
        QTest::addColumn<QSize>("openedIn");
        QTest::addColumn<QSize>("restoredIn");
        QTest::newRow("1280 x 900") << QSize(1280, 900) << QSize(1280, 900);
        QTest::newRow("1024 x 700") << QSize(1024, 700) << QSize(1024, 700);
        QTest::newRow("window made smaller meanwhile") << QSize(1280, 900) << QSize(900, 600);
    }
    void restoredBrowserFitsTheDocumentArea()
    {
        QFETCH(QSize, openedIn);
        QFETCH(QSize, restoredIn);
        m_main->resize(openedIn);
        QCoreApplication::processEvents();
        m_main->barButton("sbtn_mylinks")->click();
        Tfrm_browser *web = LinkedBrowser::of(m_main.get());
        QVERIFY(web);
        auto *sub = qobject_cast<QMdiSubWindow *>(web->parentWidget());
        QVERIFY(sub->isMaximized());
        m_main->resize(restoredIn);
        QCoreApplication::processEvents();
        sub->showNormal();
        QCoreApplication::processEvents();
        const QRect area = m_main->documentArea()->viewport()->rect();
        QCOMPARE(sub->size(), QSize(1008, 719).boundedTo(area.size()));
        QVERIFY(area.contains(sub->geometry()));
        for (QWidget *control : {static_cast<QWidget *>(web->history()), web->findChild<QWidget *>("btn_go")}) {
            const QPoint middle = control->mapTo(m_main.get(), control->rect().center());
            QWidget *hit = m_main->childAt(middle);
            QVERIFY2(hit == control || control->isAncestorOf(hit), qPrintable(control->objectName()));
        }
        closeBrowser();
    }

    void planWindowHelp()
    {
        Tfrm_budget *plan = m_main->activePlanWindow();
        pressF1(plan->toolButton("obdeleteitem"));
        QVERIFY(m_main->browser());
        QTRY_COMPARE(LinkedBrowser::of(m_main.get())->view()->url(), helpPage("hlp_deleteitem.html"));
        closeBrowser();
        QWidget *grid = plan->findChild<QWidget *>("dbgincome");
        pressF1(grid);
        QTRY_COMPARE(LinkedBrowser::of(m_main.get())->view()->url(), helpPage("hlp_budgetitems.html"));
        closeBrowser();
    }

    // The address history: grown from the address box as a navigation
    // starts, without regard to case, kept in "hist.txt" when the window
    // closes; Clear History empties it; GO on an empty box does nothing.
    void addressHistory()
    {
        writeFile(path("page one.html"), "<html><head><title>one</title></head><body>one</body></html>");
        QVERIFY(!QFile::exists("hist.txt"));
        m_main->barButton("sbtn_mylinks")->click();
        Tfrm_browser *web = LinkedBrowser::of(m_main.get());
        QVERIFY(web);
        QCOMPARE(web->historyEntries(), QStringList());
        QTRY_COMPARE(web->view()->url(), Tfrm_browser::homePage(m_dir->path()));

        const QString address = QUrl::fromLocalFile(path("page one.html")).toString();
        web->history()->setEditText(address);
        QTest::keyClick(web->history()->lineEdit(), Qt::Key_Return);
        QTRY_COMPARE(web->view()->url(), QUrl(address));
        QTRY_COMPARE(web->historyEntries(), QStringList{address});

        // The same address in other letters: once its navigation has ended
        // (at a page that is not there) the history still has one entry.
        QList<QUrl> ended; // the navigations that ended since, loaded or not
        QObject listening; // the connection ends with the test
        connect(web->view()->page(), &QWebEnginePage::loadingChanged, &listening,
                [&ended](const QWebEngineLoadingInfo &info) {
                    if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
                        ended << info.url();
                });
        web->history()->setEditText(address.toUpper());
        web->btn_goClick();
        // The web engine's own process may take its time on a busy machine.
        QTRY_VERIFY_WITH_TIMEOUT(ended.contains(QUrl::fromUserInput(address.toUpper())), 30000);
        QCOMPARE(web->historyEntries().size(), 1);

        QSignalSpy started(web->view(), &QWebEngineView::loadStarted);
        web->history()->setEditText(QString());
        const QUrl before = web->view()->url();
        web->btn_goClick();
        QVERIFY(!started.wait(100)); // no navigation begins
        QCOMPARE(web->view()->url(), before);

        closeBrowser();
        QCOMPARE(ListFile::read("hist.txt"), QStringList{address});

        m_main->barButton("sbtn_mylinks")->click();
        web = LinkedBrowser::of(m_main.get());
        QCOMPARE(web->historyEntries(), QStringList{address}); // read when it became active
        web->findChild<QAction *>("ClearHistory1")->trigger();
        QCOMPARE(web->historyEntries(), QStringList());
        closeBrowser();
        QCOMPARE(readAll("hist.txt"), QByteArray());
    }
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"

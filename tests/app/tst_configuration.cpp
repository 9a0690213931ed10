#include "GuiTestSupport.h"
#include "LinkedBrowser.h"
#include "TestFiles.h"

#include "app/frm_main.h"
#include "planwindow/frm_budget.h"
#include "widgets/OnScreenHints.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>

// The configuration file beside the program, the start-up hints panel, the
// on-screen hints and the buttons that take the focus under the pointer.
class TestConfiguration : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Tfrm_main> m_main;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    void writeConfig(const QByteArray &bytes) { writeFile(path("cfgpk.ini"), bytes); }
    QByteArray config() { return readAll(path("cfgpk.ini")); }
    void start()
    {
        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->show();
    }
    QFrame *panel() { return m_main->findChild<QFrame *>("pnlhint"); }
    QAction *entry(const char *name) { return m_main->action(QLatin1String(name)); }
    // Whether the control shows its tooltip when the pointer rests on it.
    static bool showsTooltip(QWidget *control)
    {
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000))
            return true; // a tooltip that will not go counts as shown
        QHelpEvent rest(QEvent::ToolTip, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(control, &rest);
        return QToolTip::isVisible() && QToolTip::text() == control->toolTip();
    }

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
        for (const char *file : {"pkhint.rtf", "check.bmp"})
            QVERIFY(QFile::copy(QStringLiteral(PURSEKEEP_RESOURCES "/") + file, path(file)));
        QDir::setCurrent(m_dir->path());
    }
    void cleanup()
    {
        m_main.reset();
        QToolTip::hideText();
        QDir::setCurrent(QDir::tempPath());
        m_dir.reset();
        GUITEST_CLEANUP();
    }

    void readAtStart_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::addColumn<bool>("panel");
        QTest::addColumn<bool>("hints");
        QTest::newRow("no file: both off") << QByteArray() << false << false;
        QTest::newRow("both on") << QByteArray("[showhint]\r\n0=true\r\n[enablehints]\r\n0=true\r\n") << true << true;
        QTest::newRow("True is not true")
            << QByteArray("[showhint]\n0=True\n[enablehints]\n0=TRUE\n") << false << false;
        QTest::newRow("only the panel") << QByteArray("[ShowHint]\n0=true\n") << true << false;
    }

    void readAtStart()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, panel);
        QFETCH(bool, hints);
        if (!file.isEmpty())
            writeConfig(file);
        start();
        QCOMPARE(this->panel()->isVisible(), panel);
        QCOMPARE(entry("mnushowstartup")->isChecked(), panel);
        QCOMPARE(!entry("mnushowstartup")->icon().isNull(), panel); // the check mark when on
        QCOMPARE(entry("mnushowhints")->isChecked(), hints);
        QCOMPARE(!entry("mnushowhints")->icon().isNull(), hints);
        QCOMPARE(m_main->hintsEnabled(), hints);
        if (panel)
            QVERIFY(m_main->findChild<QTextEdit *>("RE1")->toPlainText().contains("categor", Qt::CaseInsensitive));
        QCOMPARE(config(), file.isEmpty() ? QByteArray("<missing>") : file); // reading writes nothing
    }

    // Unchecking "Show On Startup" turns the option off at once, for good in
    // this run; the menu entry shows the panel again with the box still off.
    void showOnStartupBox()
    {
        writeConfig("[showhint]\r\n0=true\r\n");
        start();
        auto *box = panel()->findChild<QCheckBox *>("cb_show_hint");
        QVERIFY(box->isChecked() && box->isEnabled());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QCOMPARE(config(), QByteArray("[showhint]\r\n0=false\r\n"));
        QVERIFY(!entry("mnushowstartup")->isChecked());
        QVERIFY(entry("mnushowstartup")->icon().isNull());
        QVERIFY(!box->isEnabled() && !box->isChecked());
        QVERIFY(panel()->isVisible());

        QTest::mouseClick(panel()->findChild<QPushButton *>("btn_hint_close"), Qt::LeftButton);
        QVERIFY(!panel()->isVisible());
        entry("mnushowstartup")->trigger();
        QVERIFY(panel()->isVisible());
        QVERIFY(!box->isEnabled() && !box->isChecked());
        QCOMPARE(config(), QByteArray("[showhint]\r\n0=true\r\n"));
        entry("mnushowstartup")->trigger();
        QVERIFY(!panel()->isVisible());
        QCOMPARE(config(), QByteArray("[showhint]\r\n0=false\r\n"));
    }

    // The hints panel stands centred near the top of the document area,
    // shown at start-up or from the Options menu, and stays centred as the
    // window changes size.
    void hintsPanelIsCentred_data()
    {
        QTest::addColumn<bool>("atStartup");
        QTest::newRow("at start-up") << true;
        QTest::newRow("from the Options menu") << false;
    }
    void hintsPanelIsCentred()
    {
        QFETCH(bool, atStartup);
        if (atStartup)
            writeConfig("[showhint]\r\n0=true\r\n");
        start();
        if (!atStartup)
            entry("mnushowstartup")->trigger();
        QMdiArea *area = m_main->documentArea();
        for (const QSize size : {QSize(1024, 700), QSize(1280, 800)}) {
            m_main->resize(size);
            QCoreApplication::processEvents();
            QVERIFY(panel()->isVisible());
            QVERIFY2(qAbs(panel()->geometry().center().x() - area->rect().center().x()) <= 1,
                     qPrintable(QString("%1 in %2").arg(panel()->x()).arg(area->width())));
            QCOMPARE(panel()->y(), 10);
            QWidget *close = panel()->findChild<QPushButton *>("btn_hint_close");
            QCOMPARE(m_main->childAt(close->mapTo(m_main.get(), close->rect().center())), close);
        }
    }

    // Closing the panel over the browser leaves the browser the active
    // window, on top and taking the keys.
    void closingThePanelLeavesTheActiveWindow()
    {
        writeConfig("[showhint]\r\n0=true\r\n");
        start();
        QApplication::setActiveWindow(m_main.get());
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        m_main->barButton("sbtn_mylinks")->click();
        Tfrm_browser *web = LinkedBrowser::of(m_main.get());
        QVERIFY(web);
        QMdiArea *area = m_main->documentArea();
        QMdiSubWindow *browserWindow = area->activeSubWindow();
        QCOMPARE(browserWindow->widget(), web);
        QVERIFY(panel()->isVisible());

        QTest::mouseClick(panel()->findChild<QPushButton *>("btn_hint_close"), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!panel()->isVisible());
        QCOMPARE(area->activeSubWindow(), browserWindow);
        const QPoint middle = web->mapTo(area->viewport(), web->rect().center());
        QVERIFY(web->isAncestorOf(area->viewport()->childAt(middle)));
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(focus && web->isAncestorOf(focus), focus ? focus->metaObject()->className() : "no focus");
    }

    // Tooltips show only while the setting is on, in every window.
    void tooltipsFollowTheSetting()
    {
        start();
        QToolButton *open = m_main->barButton("sbtn_openplan");
        QToolButton *save = m_main->activePlanWindow()->toolButton("LMDSbtn_save_plan");
        QVERIFY(!showsTooltip(open));
        QVERIFY(!showsTooltip(save));
        entry("mnushowhints")->trigger();
        QCOMPARE(config(), QByteArray("[enablehints]\r\n0=true\r\n"));
        QVERIFY(showsTooltip(open));
        QVERIFY(showsTooltip(save));
        entry("mnushowhints")->trigger();
        QVERIFY(!showsTooltip(save));
        QVERIFY(!m_main->hintsEnabled());
    }

    // Either Options entry: on and off, each written at once with its mark,
    // and a file that cannot be written when turning it off leaves it on.
    void optionsSwitchAlike_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("section");
        QTest::newRow("Show Hints On Startup") << "mnushowstartup" << QByteArray("showhint");
        QTest::newRow("Enable OnScreen Hints") << "mnushowhints" << QByteArray("enablehints");
    }
    void optionsSwitchAlike()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, section);
        start();
        QAction *option = m_main->action(name);
        // What the option does: the panel shown, or the tooltips on.
        const auto isOn = [&] { return section == "showhint" ? panel()->isVisible() : m_main->hintsEnabled(); };
        const auto isShownOn = [&] { return option->isChecked() && !option->icon().isNull() && isOn(); };
        const auto isShownOff = [&] { return !option->isChecked() && option->icon().isNull() && !isOn(); };
        QVERIFY(isShownOff());
        option->trigger();
        QCOMPARE(config(), "[" + section + "]\r\n0=true\r\n");
        QVERIFY(isShownOn());

        QVERIFY(QFile::remove(path("cfgpk.ini")));
        QVERIFY(QDir(m_dir->path()).mkdir("cfgpk.ini"));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        option->trigger();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Unable to write to " + path("cfgpk.ini")});
        QVERIFY(isShownOn());

        QVERIFY(QDir(m_dir->path()).rmdir("cfgpk.ini"));
        option->trigger();
        QCOMPARE(config(), "[" + section + "]\r\n0=false\r\n");
        QVERIFY(isShownOff());
    }

    void filesThatAreMissingOrCannotBeWritten()
    {
        // A settings file that cannot be written: the entry keeps its state.
        QVERIFY(QDir(m_dir->path()).mkdir("cfgpk.ini"));
        start();
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        entry("mnushowhints")->trigger();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Unable to write to " + path("cfgpk.ini")});
        QVERIFY(!entry("mnushowhints")->isChecked());
        QVERIFY(!m_main->hintsEnabled());
        m_main.reset();

        // No check-mark picture: said, and the rest of the start-up skipped.
        QVERIFY(QDir(m_dir->path()).rmdir("cfgpk.ini"));
        writeConfig("[showhint]\r\n0=true\r\n[enablehints]\r\n0=true\r\n");
        QVERIFY(QFile::remove(path("check.bmp")));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        start();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Cannot open file " + path("check.bmp")});
        QVERIFY(!m_main->hintsEnabled());
        m_main.reset();

        // No hints document.
        QVERIFY(QFile::copy(QStringLiteral(PURSEKEEP_RESOURCES "/check.bmp"), path("check.bmp")));
        QVERIFY(QFile::remove(path("pkhint.rtf")));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        start();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Cannot open file " + path("pkhint.rtf")});
        QVERIFY(!m_main->hintsEnabled());
    }

    // The pointer on a button gives it the focus, in the main window's button
    // bar and in the plan window's toolbar.
    void buttonsTakeTheFocusUnderThePointer()
    {
        start();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        for (QToolButton *button :
             {m_main->barButton("sb_new_plan"), m_main->activePlanWindow()->toolButton("obdeleteitem")}) {
            QVERIFY(!button->hasFocus());
            QEnterEvent enter(QPointF(3, 3), button->mapTo(m_main.get(), QPointF(3, 3)),
                              button->mapToGlobal(QPointF(3, 3)));
            QApplication::sendEvent(button, &enter);
            QVERIFY2(button->hasFocus(), qPrintable(button->objectName()));
        }
    }
};

QTEST_MAIN(TestConfiguration)
#include "tst_configuration.moc"

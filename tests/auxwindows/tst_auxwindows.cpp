// The about box, the splash screen and the message pop-up.
#include "GuiTestSupport.h"
#include "auxwindows/AboutBox.h"
#include "auxwindows/SystemFacts.h"
#include "widgets/frm_msg.h"
#include "auxwindows/frm_splashscreen.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSysInfo>
#include <QTimer>
#include <QtTest>

namespace {

QWidget *topLevel(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name)
            return widget;
    return nullptr;
}

QString labelText(QWidget *window, const char *name)
{
    auto *label = window->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

// As a user does it: open the list, move to the drive, press Enter.
void chooseDrive(QWidget *box, int index)
{
    auto *combo = box->findChild<QComboBox *>(QStringLiteral("DrvCB"));
    QVERIFY(combo);
    combo->showPopup();
    QAbstractItemView *list = combo->view();
    QTRY_VERIFY(list->isVisible());
    list->setCurrentIndex(list->model()->index(index, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
}

SystemFacts factsWithDrive(const SystemFacts::Drive &drive)
{
    SystemFacts facts;
    facts.drives = {{QStringLiteral("/"), 2048000, 1024000}, drive};
    return facts;
}

} // namespace

class TestAuxWindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { GuiTest::initTestCase(); }
    void init()
    {
        GuiTest::init();
        Tfrm_msg::takeShownTexts();
    }
    void cleanup()
    {
        TimedWindows::setOverride(0);
        GUITEST_CLEANUP();
    }

    void memoryFigures_data();
    void memoryFigures();
    void driveFigures_data();
    void driveFigures();
    void drivesMemoShowsOnlyTheLastChoice_data();
    void drivesMemoShowsOnlyTheLastChoice();
    void okClosesTheAboutBox();
    void kernelFigures_data();
    void kernelFigures();
    void processor_data();
    void processor();
    void factsOfThisMachine();

    void popUpShowsItsTextUntilItsTimerCloses();
    void splashScreenStaysUntilItsTimerCloses();
    void timersRunFromCreation_data();
    void timersRunFromCreation();
};

void TestAuxWindows::memoryFigures_data()
{
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("available");
    QTest::addColumn<int>("load");
    QTest::addColumn<QString>("totalText");
    QTest::addColumn<QString>("availableText");
    QTest::addColumn<QString>("loadText");

    QTest::newRow("divided by 1024000, not 1048576") << quint64(536870912) << quint64(268435456) << 37 << "524.29 MB"
                                                     << "262.14 MB"
                                                     << "37.00 %";
    QTest::newRow("no thousands separator") << quint64(17179869184) << quint64(8589934592) << 50 << "16777.22 MB"
                                            << "8388.61 MB"
                                            << "50.00 %";
    QTest::newRow("nothing read") << quint64(0) << quint64(0) << 0 << "0.00 MB"
                                  << "0.00 MB"
                                  << "0.00 %";
    QTest::newRow("all in use") << quint64(1024000) << quint64(0) << 100 << "1.00 MB"
                                << "0.00 MB"
                                << "100.00 %";
}

void TestAuxWindows::memoryFigures()
{
    QFETCH(quint64, total);
    QFETCH(quint64, available);
    QFETCH(int, load);
    SystemFacts facts;
    facts.totalMemory = total;
    facts.availableMemory = available;
    facts.memoryLoad = load;
    TAboutBox box(facts);

    QFETCH(QString, totalText);
    QFETCH(QString, availableText);
    QFETCH(QString, loadText);
    QCOMPARE(labelText(&box, "lbltotalmem"), totalText);
    QCOMPARE(labelText(&box, "lblmemused"), availableText);
    QCOMPARE(labelText(&box, "lblmemfree"), loadText);
}

void TestAuxWindows::driveFigures_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("free");
    QTest::addColumn<QString>("memo");

    QTest::newRow("two blanks before MB")
        << qint64(1024000000) << qint64(512000) << "Total Disk Size 1000.00  MB\nSpace Free 0.50  MB";
    QTest::newRow("full drive") << qint64(1024000) << qint64(0) << "Total Disk Size 1.00  MB\nSpace Free 0.00  MB";
    QTest::newRow("two terabytes, no thousands separator")
        << qint64(2000000000000) << qint64(1000000000000) << "Total Disk Size 1953125.00  MB\nSpace Free 976562.50  MB";
    QTest::newRow("size cannot be read") << qint64(-1) << qint64(-1) << "Size of /media/cdrom cannot be read";
}

void TestAuxWindows::driveFigures()
{
    QFETCH(qint64, total);
    QFETCH(qint64, free);
    QFETCH(QString, memo);
    TAboutBox box(factsWithDrive({QStringLiteral("/media/cdrom"), total, free}));
    box.show();

    chooseDrive(&box, 1);
    QCOMPARE(box.findChild<QPlainTextEdit *>(QStringLiteral("Memcurdrv"))->toPlainText(), memo);
}

void TestAuxWindows::drivesMemoShowsOnlyTheLastChoice_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("memo");

    QTest::newRow("another drive") << 0 << 1 << "Total Disk Size 10.00  MB\nSpace Free 5.00  MB";
    QTest::newRow("same drive again") << 1 << 1 << "Total Disk Size 10.00  MB\nSpace Free 5.00  MB";
    QTest::newRow("back to the first") << 1 << 0 << "Total Disk Size 2.00  MB\nSpace Free 1.00  MB";
}

void TestAuxWindows::drivesMemoShowsOnlyTheLastChoice()
{
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, memo);
    TAboutBox box(factsWithDrive({QStringLiteral("/home"), 10240000, 5120000}));
    box.show();
    auto *Memcurdrv = box.findChild<QPlainTextEdit *>(QStringLiteral("Memcurdrv"));
    QCOMPARE(Memcurdrv->toPlainText(), QStringLiteral("Memcurdrv"));
    QVERIFY(Memcurdrv->isReadOnly());

    chooseDrive(&box, first);
    chooseDrive(&box, second);
    QCOMPARE(Memcurdrv->toPlainText(), memo);
}

void TestAuxWindows::okClosesTheAboutBox()
{
    int calls = 0;
    ModalRunner::setHook([&](QDialog *dialog) {
        ++calls;
        QCOMPARE(dialog->objectName(), QStringLiteral("AboutBox"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("About"));
        QCOMPARE(dialog->size(), QSize(402, 450));
        QVERIFY(dialog->isModal());
        auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("OKButton"));
        QVERIFY(ok && ok->isDefault());
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });
    TAboutBox::showAbout(nullptr);

    QCOMPARE(calls, 1);
    QVERIFY(!topLevel(QStringLiteral("AboutBox")));
}

void TestAuxWindows::kernelFigures_data()
{
    QTest::addColumn<QByteArray>("meminfo");
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("available");
    QTest::addColumn<int>("load");

    QTest::newRow("kilobytes to bytes, load from available")
        << QByteArray("MemTotal:       16000000 kB\nMemFree:         1000000 kB\n"
                      "MemAvailable:    4000000 kB\nBuffers:           5596 kB\n")
        << quint64(16384000000) << quint64(4096000000) << 75;
    QTest::newRow("kernel without MemAvailable")
        << QByteArray("MemTotal: 3000 kB\nMemFree: 1000 kB\n") << quint64(3072000) << quint64(1024000) << 67;
    QTest::newRow("unreadable") << QByteArray() << quint64(0) << quint64(0) << 0;
}

void TestAuxWindows::kernelFigures()
{
    QFETCH(QByteArray, meminfo);
    SystemFacts facts;
    SystemFacts::parseMeminfo(meminfo, facts);
    QTEST(facts.totalMemory, "total");
    QTEST(facts.availableMemory, "available");
    QTEST(facts.memoryLoad, "load");
}

void TestAuxWindows::processor_data()
{
    QTest::addColumn<QByteArray>("cpuinfo");
    QTest::addColumn<QString>("processor");
    QTest::addColumn<QString>("speed");

    QTest::newRow("first of several processors")
        << QByteArray("processor\t: 0\nmodel name\t: AMD EPYC 7B13\ncpu MHz\t\t: 2449.998\n\n"
                      "processor\t: 1\nmodel name\t: AMD EPYC 7B13\ncpu MHz\t\t: 1500.000\n")
        << "AMD EPYC 7B13"
        << "2450 MHz";
    QTest::newRow("no model name or speed") << QByteArray("processor\t: 0\nBogoMIPS\t: 50.00\nCPU part\t: 0xd08\n")
                                            << QSysInfo::currentCpuArchitecture() << "";
}

void TestAuxWindows::processor()
{
    QFETCH(QByteArray, cpuinfo);
    SystemFacts facts;
    SystemFacts::parseCpuinfo(cpuinfo, facts);
    QTEST(facts.processor, "processor");
    QTEST(facts.processorSpeed, "speed");
}

void TestAuxWindows::factsOfThisMachine()
{
    const SystemFacts facts = SystemFacts::read();
    QVERIFY(facts.totalMemory > 0);
    QVERIFY(facts.availableMemory <= facts.totalMemory);
    QVERIFY(facts.memoryLoad >= 0 && facts.memoryLoad <= 100);
    QVERIFY(!facts.user.isEmpty());
    QVERIFY(std::any_of(facts.drives.cbegin(), facts.drives.cend(),
                        [](const SystemFacts::Drive &d) { return d.name == QLatin1String("/"); }));
}

void TestAuxWindows::popUpShowsItsTextUntilItsTimerCloses()
{
    const QString text = QStringLiteral("File : \"x.pkb\" has been saved");
    TimedWindows::setOverride(200);
    QObject context;
    QPointer<QWidget> popup;
    QString shownText;
    QTimer::singleShot(0, &context, [&] {
        popup = topLevel(QStringLiteral("frm_msg"));
        QVERIFY(popup && popup->isVisible() && popup->isModal());
        QCOMPARE(popup->size(), QSize(424, 44));
        QVERIFY(popup->windowFlags().testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
        shownText = labelText(popup, "lmd_msg");
        // Keys do not close it: it has no button and no title bar.
        QTest::keyClick(popup, Qt::Key_Escape);
        QTest::keyClick(popup, Qt::Key_Return);
        QVERIFY(popup->isVisible());
    });
    QElapsedTimer clock;
    clock.start();
    Tfrm_msg::showMessage(nullptr, text);

    QVERIFY2(clock.elapsed() >= 200, qPrintable(QString::number(clock.elapsed()))); // never early
    QCOMPARE(shownText, text);
    QVERIFY(!popup);
    QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{text});
    QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList());
}

void TestAuxWindows::splashScreenStaysUntilItsTimerCloses()
{
    TimedWindows::setOverride(200);
    QObject context;
    QPointer<QWidget> splash;
    bool openAfterClick = false;
    QTimer::singleShot(0, &context, [&] {
        splash = topLevel(QStringLiteral("frm_splashscreen"));
        QVERIFY(splash && splash->isVisible());
        QCOMPARE(splash->size(), QSize(300, 200));
        QVERIFY(splash->windowFlags().testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
        auto *picture = splash->findChild<QWidget *>(QStringLiteral("RxGIFAnimator1"));
        QVERIFY(picture && picture->isVisible());
        QCOMPARE(picture->geometry(), QRect(1, 1, 298, 198));
        QTest::mouseClick(picture, Qt::LeftButton);
        openAfterClick = splash->isVisible();
    });
    QElapsedTimer clock;
    clock.start();
    Tfrm_splashscreen::run();

    QVERIFY2(clock.elapsed() >= 200, qPrintable(QString::number(clock.elapsed()))); // never early
    QVERIFY(openAfterClick);
    QVERIFY(!splash);
}

void TestAuxWindows::timersRunFromCreation_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("interval");
    QTest::newRow("splash screen") << "frm_splashscreen" << 4000;
    QTest::newRow("message pop-up") << "frm_msg" << 2000;
}

void TestAuxWindows::timersRunFromCreation()
{
    QFETCH(QString, window);
    TimedWindows::clearOverride();
    std::unique_ptr<QWidget> created;
    if (window == QLatin1String("frm_msg"))
        created = std::make_unique<Tfrm_msg>();
    else
        created = std::make_unique<Tfrm_splashscreen>();

    QCOMPARE(created->objectName(), window);
    auto *Timer1 = created->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(Timer1 && Timer1->isActive());
    QTEST(Timer1->interval(), "interval");
}

QTEST_MAIN(TestAuxWindows)
#include "tst_auxwindows.moc"

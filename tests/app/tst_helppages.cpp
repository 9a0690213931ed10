// The help pages as the build installs them in the program folder's "help"
// folder: every page the program opens is there, every link in a page leads to
// a file of that folder (and to an anchor that exists), every page has a title
// and the shared style sheet, and no page is left without a link to it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTest>

namespace {

// The pages the main window and the plan window open with F1 and Help > Contents.
const QStringList kPages = {
    QStringLiteral("hlp_openplan.html"),       QStringLiteral("hlp_newplan.html"),
    QStringLiteral("hlp_internet.html"),       QStringLiteral("hlp_loanscalc_scenario.html"),
    QStringLiteral("hlp_calculator.html"),     QStringLiteral("hlp_Contents_index_main.html"),
    QStringLiteral("hlp_newitem.html"),        QStringLiteral("hlp_edititem.html"),
    QStringLiteral("hlp_deleteitem.html"),     QStringLiteral("hlp_clearall.html"),
    QStringLiteral("hlp_reminders.html"),      QStringLiteral("hlp_saveplan.html"),
    QStringLiteral("hlp_closeplan.html"),      QStringLiteral("hlp_editcategories.html"),
    QStringLiteral("hlp_budgetitems.html"),    QStringLiteral("hlp_add_category.html"),
    QStringLiteral("hlp_contents_index.html"),
};

const QString kStyleSheet = QStringLiteral("help.css");

QDir helpFolder()
{
    return QDir(QStringLiteral(PURSEKEEP_PROGRAM_FOLDER "/help"));
}

QString readPage(const QString &name)
{
    QFile file(helpFolder().filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList installedPages()
{
    return helpFolder().entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

// Every href and src value of a page, in either kind of quotes.
QStringList references(const QString &html)
{
    static const QRegularExpression attribute(QStringLiteral("(?:href|src)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"),
                                              QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (auto it = attribute.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        found << (m.capturedStart(1) >= 0 ? m.captured(1) : m.captured(2));
    }
    return found;
}

QSet<QString> anchors(const QString &html)
{
    static const QRegularExpression id(QStringLiteral("\\sid\\s*=\\s*\"([^\"]+)\""),
                                       QRegularExpression::CaseInsensitiveOption);
    QSet<QString> found;
    for (auto it = id.globalMatch(html); it.hasNext();)
        found.insert(it.next().captured(1));
    return found;
}

} // namespace

class tst_HelpPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyPageIsInstalled_data();
    void everyPageIsInstalled();
    void linksPointIntoTheHelpFolder_data();
    void linksPointIntoTheHelpFolder();
    void pageHasTitleAndStyleSheet_data();
    void pageHasTitleAndStyleSheet();
    void pageIsSelfContained_data();
    void pageIsSelfContained();
    void noPageIsLeftWithoutALink();
    void contentsPagesLinkEveryFeaturePage();

private:
    void installedPageRows();
};

void tst_HelpPages::initTestCase()
{
    QVERIFY2(helpFolder().exists(), qPrintable(helpFolder().path() + QStringLiteral(" is missing")));
    QVERIFY(QFileInfo::exists(helpFolder().filePath(kStyleSheet)));
}

void tst_HelpPages::installedPageRows()
{
    QTest::addColumn<QString>("page");
    for (const QString &page : installedPages())
        QTest::newRow(qPrintable(page)) << page;
}

void tst_HelpPages::everyPageIsInstalled_data()
{
    QTest::addColumn<QString>("page");
    for (const QString &page : kPages)
        QTest::newRow(qPrintable(page)) << page;
}

void tst_HelpPages::everyPageIsInstalled()
{
    QFETCH(QString, page);
    // Exact case: the program asks for hlp_Contents_index_main.html, not a lower-case twin.
    QVERIFY2(installedPages().contains(page), qPrintable(page));
    QVERIFY(!readPage(page).trimmed().isEmpty());
}

void tst_HelpPages::linksPointIntoTheHelpFolder_data()
{
    installedPageRows();
}

void tst_HelpPages::linksPointIntoTheHelpFolder()
{
    QFETCH(QString, page);
    const QString html = readPage(page);
    const QStringList installed = helpFolder().entryList(QDir::Files);
    for (const QString &reference : references(html)) {
        QVERIFY2(!reference.isEmpty(), qPrintable(page + QStringLiteral(": an empty link")));
        const qsizetype hash = reference.indexOf(QLatin1Char('#'));
        const QString file = hash < 0 ? reference : reference.left(hash);
        const QString anchor = hash < 0 ? QString() : reference.mid(hash + 1);
        const QString target = file.isEmpty() ? page : file;
        // A file of the same folder, by its exact name: no scheme, no folder part.
        QVERIFY2(!file.contains(QLatin1Char(':')) && !file.contains(QLatin1Char('/'))
                     && !file.contains(QLatin1Char('\\')),
                 qPrintable(page + QStringLiteral(" links outside the help folder: ") + reference));
        QVERIFY2(installed.contains(target), qPrintable(page + QStringLiteral(" links a missing file: ") + reference));
        if (!anchor.isEmpty())
            QVERIFY2(anchors(readPage(target)).contains(anchor),
                     qPrintable(page + QStringLiteral(" links a missing anchor: ") + reference));
    }
}

void tst_HelpPages::pageHasTitleAndStyleSheet_data()
{
    installedPageRows();
}

void tst_HelpPages::pageHasTitleAndStyleSheet()
{
    QFETCH(QString, page);
    const QString html = readPage(page);
    static const QRegularExpression title(QStringLiteral("<title>\\s*([^<]*\\S)\\s*</title>"),
                                          QRegularExpression::CaseInsensitiveOption);
    QVERIFY2(title.match(html).hasMatch(), qPrintable(page + QStringLiteral(" has no title")));
    static const QRegularExpression sheet(QStringLiteral("<link\\s+rel=\"stylesheet\"\\s+href=\"help\\.css\"\\s*>"),
                                          QRegularExpression::CaseInsensitiveOption);
    QVERIFY2(sheet.match(html).hasMatch(), qPrintable(page + QStringLiteral(" does not link help.css")));
}

void tst_HelpPages::pageIsSelfContained_data()
{
    installedPageRows();
}

void tst_HelpPages::pageIsSelfContained()
{
    QFETCH(QString, page);
    const QString html = readPage(page);
    QVERIFY2(html.startsWith(QStringLiteral("<!DOCTYPE html>")), qPrintable(page));
    QVERIFY2(html.contains(QStringLiteral("<meta charset=\"utf-8\">")), qPrintable(page));
    QVERIFY2(!html.contains(QStringLiteral("<script"), Qt::CaseInsensitive), qPrintable(page));
    QVERIFY2(!html.contains(QStringLiteral("url("), Qt::CaseInsensitive), qPrintable(page));
}

void tst_HelpPages::noPageIsLeftWithoutALink()
{
    QSet<QString> linked;
    for (const QString &page : installedPages()) {
        for (const QString &reference : references(readPage(page))) {
            const QString file = reference.section(QLatin1Char('#'), 0, 0);
            if (!file.isEmpty() && file != page)
                linked.insert(file);
        }
    }
    for (const QString &page : installedPages())
        QVERIFY2(linked.contains(page), qPrintable(page + QStringLiteral(" is linked from no other page")));
    QVERIFY(linked.contains(kStyleSheet));
}

void tst_HelpPages::contentsPagesLinkEveryFeaturePage()
{
    const QString main = QStringLiteral("hlp_Contents_index_main.html");
    const QString plan = QStringLiteral("hlp_contents_index.html");
    const QStringList fromMain = references(readPage(main));
    for (const QString &page : kPages)
        if (page != main)
            QVERIFY2(fromMain.contains(page), qPrintable(main + QStringLiteral(" does not link ") + page));
    const QStringList fromPlan = references(readPage(plan));
    for (const QString &page : kPages.mid(6))
        if (page != plan)
            QVERIFY2(fromPlan.contains(page), qPrintable(plan + QStringLiteral(" does not link ") + page));
    // Every feature page leads back to a contents page.
    for (const QString &page : kPages) {
        if (page == main || page == plan)
            continue;
        const QStringList refs = references(readPage(page));
        QVERIFY2(refs.contains(main) || refs.contains(plan), qPrintable(page + QStringLiteral(" has no way back")));
    }
}

QTEST_GUILESS_MAIN(tst_HelpPages)
#include "tst_helppages.moc"

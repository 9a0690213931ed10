#include "widgets/RtfReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString kResources = QStringLiteral(PURSEKEEP_TEST_DATA "/../../resources/");

QByteArray shippedHints()
{
    QFile file(kResources + QStringLiteral("pkhint.rtf"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The format of the character at position (not the one before it).
QTextCharFormat formatAt(QTextDocument *document, int position)
{
    QTextCursor cursor(document);
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

QTextBlock blockWithText(const QTextDocument &document, const QString &text)
{
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        if (b.text() == text)
            return b;
    return {};
}

// Damaged input must come back quickly, whatever it holds.
void readQuickly(const QByteArray &rtf, QTextDocument *document)
{
    QElapsedTimer timer;
    timer.start();
    RtfReader::read(rtf, document);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QStringLiteral("took %1 ms").arg(timer.elapsed())));
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void characterFormats_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<qreal>("points"); // 0: the document's own size
        QTest::addColumn<QString>("colour"); // empty: the default colour

        const QByteArray colours = R"({\colortbl ;\red200\green0\blue0;\red0\green0\blue255;})";
        QTest::newRow("bold on") << QByteArray(R"({\rtf1 a\b b\b0 c})") << "abc" << 1 << true << false << false << 0.0
                                 << QString();
        QTest::newRow("bold off again") << QByteArray(R"({\rtf1 a\b b\b0 c})") << "abc" << 2 << false << false << false
                                        << 0.0 << QString();
        QTest::newRow("group ends bold") << QByteArray(R"({\rtf1 {\b x}y})") << "xy" << 1 << false << false << false
                                         << 0.0 << QString();
        QTest::newRow("italic") << QByteArray(R"({\rtf1 \i x\i0 y})") << "xy" << 0 << false << true << false << 0.0
                                << QString();
        QTest::newRow("underline") << QByteArray(R"({\rtf1 \ul x\ulnone y})") << "xy" << 0 << false << false << true
                                   << 0.0 << QString();
        QTest::newRow("ulnone") << QByteArray(R"({\rtf1 \ul x\ulnone y})") << "xy" << 1 << false << false << false
                                << 0.0 << QString();
        QTest::newRow("half-points") << QByteArray(R"({\rtf1 \fs28 big})") << "big" << 0 << false << false << false
                                     << 14.0 << QString();
        QTest::newRow("plain resets") << QByteArray(R"({\rtf1 \b\i\fs40 a\plain b})") << "ab" << 1 << false << false
                                      << false << 0.0 << QString();
        QTest::newRow("colour") << QByteArray(R"({\rtf1 )" + colours + R"(\cf1 red\cf2 blue})") << "redblue" << 0
                                << false << false << false << 0.0 << "#c80000";
        QTest::newRow("second colour") << QByteArray(R"({\rtf1 )" + colours + R"(\cf1 red\cf2 blue})") << "redblue" << 3
                                       << false << false << false << 0.0 << "#0000ff";
        QTest::newRow("auto colour entry") << QByteArray(R"({\rtf1 )" + colours + R"(\cf0 x})") << "x" << 0 << false
                                           << false << false << 0.0 << QString();
        QTest::newRow("colour beyond table") << QByteArray(R"({\rtf1 )" + colours + R"(\cf9 x})") << "x" << 0 << false
                                             << false << false << 0.0 << QString();
        QTest::newRow("word ends at space")
            << QByteArray(R"({\rtf1 \b  two})") << " two" << 0 << true << false << false << 0.0 << QString();
    }

    void characterFormats()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(qreal, points);
        QFETCH(QString, colour);
        QTextDocument document;
        QVERIFY(RtfReader::read(rtf, &document));
        QCOMPARE(document.toPlainText(), text);
        const QTextCharFormat format = formatAt(&document, position);
        QCOMPARE(format.fontWeight() == QFont::Bold, bold);
        QCOMPARE(format.fontItalic(), italic);
        QCOMPARE(format.fontUnderline(), underline);
        QCOMPARE(format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : 0.0, points);
        QCOMPARE(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color().name() : QString(),
                 colour);
    }

    void characters_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");

        QTest::newRow("escaped") << QByteArray(R"({\rtf1 \\\{\}})") << "\\{}";
        QTest::newRow("hex euro") << QByteArray(R"({\rtf1 \'80 5})") << QString::fromUtf8("€ 5");
        QTest::newRow("hex latin") << QByteArray(R"({\rtf1 caf\'e9})") << QString::fromUtf8("café");
        QTest::newRow("hex en dash") << QByteArray(R"({\rtf1 a\'96b})") << QString::fromUtf8("a–b");
        QTest::newRow("raw 8-bit byte") << QByteArray("{\\rtf1 caf\xe9}") << QString::fromUtf8("café");
        QTest::newRow("unicode skips one") << QByteArray(R"({\rtf1 \u8364?50})") << QString::fromUtf8("€50");
        QTest::newRow("uc0 skips none") << QByteArray(R"({\rtf1 \uc0\u8364 50})") << QString::fromUtf8("€50");
        QTest::newRow("uc2 skips two") << QByteArray(R"({\rtf1 \uc2\u8211 --x})") << QString::fromUtf8("–x");
        QTest::newRow("skip counts a hex") << QByteArray(R"({\rtf1 \u8211\'96x})") << QString::fromUtf8("–x");
        QTest::newRow("skip stops at brace") << QByteArray(R"({\rtf1 {\uc3\u8211 }x})") << QString::fromUtf8("–x");
        QTest::newRow("negative unicode") << QByteArray(R"({\rtf1 \u-3913?})") << QString(QChar(0xF0B7));
        QTest::newRow("named characters")
            << QByteArray(R"({\rtf1 \endash\emdash\bullet\lquote\rquote\ldblquote\rdblquote})")
            << QString::fromUtf8("–—•‘’“”");
        QTest::newRow("tab") << QByteArray(R"({\rtf1 a\tab b})") << "a\tb";
        QTest::newRow("line") << QByteArray(R"({\rtf1 a\line b})") << QStringLiteral("a") + QChar::LineSeparator + "b";
        QTest::newRow("paragraphs") << QByteArray(R"({\rtf1 a\par b\par})") << "a\nb\n";
        QTest::newRow("line ends ignored") << QByteArray("{\\rtf1 a\r\nb}") << "ab";
        QTest::newRow("font table") << QByteArray(R"({\rtf1{\fonttbl{\f0\fswiss Arial;}}\f0 x})") << "x";
        QTest::newRow("ignorable") << QByteArray(R"({\rtf1{\*\generator Writer 1.0;}x})") << "x";
        QTest::newRow("unknown ignorable") << QByteArray(R"({\rtf1{\*\madeup {a}{b}}x})") << "x";
        QTest::newRow("info") << QByteArray(R"({\rtf1{\info{\title T}{\author A}}x})") << "x";
        QTest::newRow("stylesheet") << QByteArray(R"({\rtf1{\stylesheet{\s0 Normal;}}x})") << "x";
        QTest::newRow("after the document") << QByteArray(R"({\rtf1 x}trailing)") << "x";
    }

    void characters()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument document;
        QVERIFY(RtfReader::read(rtf, &document));
        QCOMPARE(document.toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')), text);
    }

    void paragraphFormats_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<qreal>("spaceAfter"); // points

        QTest::newRow("centred") << QByteArray(R"({\rtf1 \qc a\par b})") << 0 << int(Qt::AlignHCenter) << 0.0;
        QTest::newRow("kept to the next") << QByteArray(R"({\rtf1 \qc a\par b})") << 1 << int(Qt::AlignHCenter) << 0.0;
        QTest::newRow("pard resets") << QByteArray(R"({\rtf1 \qr\sa120 a\par\pard b})") << 1 << int(Qt::AlignLeft)
                                     << 0.0;
        QTest::newRow("space after") << QByteArray(R"({\rtf1 \qr\sa120 a\par\pard b})") << 0 << int(Qt::AlignRight)
                                     << 6.0;
    }

    void paragraphFormats()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(int, block);
        QFETCH(int, alignment);
        QFETCH(qreal, spaceAfter);
        QTextDocument document;
        QVERIFY(RtfReader::read(rtf, &document));
        const QTextBlockFormat format = document.findBlockByNumber(block).blockFormat();
        QCOMPARE(int(format.alignment() & Qt::AlignHorizontal_Mask), alignment);
        QCOMPARE(format.bottomMargin(), spaceAfter);
    }

    void refusesWhatIsNotRtf_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("plain text") << QByteArray("Welcome to Kavo Pursekeep");
        QTest::newRow("cut in the magic") << QByteArray("{\\rt");
        QTest::newRow("leading space") << QByteArray(" {\\rtf1 x}");
        QTest::newRow("html") << QByteArray("<html><body>x</body></html>");
    }

    void refusesWhatIsNotRtf()
    {
        QFETCH(QByteArray, data);
        QTextDocument document;
        document.setPlainText(QStringLiteral("before"));
        QString error;
        QVERIFY(!RtfReader::read(data, &document, &error));
        QVERIFY(error.contains(QLatin1String("RTF")));
        QCOMPARE(document.toPlainText(), QStringLiteral("before"));
    }

    void shippedHeadings_data()
    {
        QTest::addColumn<QString>("heading");
        for (const char *h : {"Welcome to Kavo Pursekeep", "1. Start with categories",
                              "2. Add items and their frequencies", "3. Choose the display frequency",
                              "4. Savings goals and loans", "5. Reminders \u2013 never miss a payment",
                              "6. The loan calculator", "7. Save your plan", "Help is one key away"})
            QTest::newRow(h) << QString::fromUtf8(h);
    }

    void shippedHeadings()
    {
        QFETCH(QString, heading);
        QTextDocument document;
        QVERIFY(RtfReader::read(shippedHints(), &document));
        const QTextBlock block = blockWithText(document, heading);
        QVERIFY2(block.isValid(), qPrintable(heading));
        const QTextCharFormat head = formatAt(&document, block.position());
        const QTextCharFormat body = formatAt(&document, block.next().position());
        QCOMPARE(head.fontWeight(), int(QFont::Bold));
        QCOMPARE(body.fontWeight(), int(QFont::Normal));
        QVERIFY(head.fontPointSize() > body.fontPointSize());
        QVERIFY(head.foreground().color() != body.foreground().color());
    }

    void shippedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("present");
        QTest::newRow("euro from \\u") << QString::fromUtf8("a €50 weekly shop") << true;
        QTest::newRow("en dash from \\endash") << QString::fromUtf8("really pay or receive it – a") << true;
        QTest::newRow("en dash from \\'96") << QString::fromUtf8("to it – Home.pkb") << true;
        QTest::newRow("apostrophe") << QString::fromUtf8("plan’s toolbar") << true;
        QTest::newRow("toolbar caption") << QStringLiteral("Add/Edit Categories") << true;
        QTest::newRow("help key") << QStringLiteral("press F1") << true;
        QTest::newRow("no font name") << QStringLiteral("Arial") << false;
        QTest::newRow("no document title") << QStringLiteral("start-up hints") << false;
        QTest::newRow("no unicode fallback") << QStringLiteral("?") << false;
        QTest::newRow("no stray words") << QStringLiteral("\\") << false;
    }

    void shippedText()
    {
        QFETCH(QString, text);
        QFETCH(bool, present);
        QTextDocument document;
        QString error;
        QVERIFY2(RtfReader::read(shippedHints(), &document, &error), qPrintable(error));
        QCOMPARE(document.toPlainText().contains(text), present);
    }

    void shippedCheckMark()
    {
        QImageReader reader(kResources + QStringLiteral("check.bmp"));
        QCOMPARE(reader.format(), QByteArray("bmp"));
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(16, 16));
        int inked = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                inked += qAlpha(image.pixel(x, y)) > 128;
        QVERIFY(inked > 10 && inked < 128);
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");

        const QByteArray deep = QByteArray(100000, '{') + "x" + QByteArray(100000, '}');
        QTest::newRow("100k nested braces") << "{\\rtf1 a" + deep + "b}"
                                            << "ab";
        QTest::newRow("nesting within the limit")
            << "{\\rtf1 a" + QByteArray(50, '{') + "x" + QByteArray(50, '}') + "b}"
            << "axb";
        QTest::newRow("huge font size") << QByteArray(R"({\rtf1 \fs999999999999 big})") << "big";
        QTest::newRow("negative font size") << QByteArray(R"({\rtf1 \fs-20 x})") << "x";
        QTest::newRow("huge negative unicode")
            << QByteArray(R"({\rtf1 \u-99999999999?x})") << QString(QChar(0xFFFD)) + "x";
        QTest::newRow("huge unicode") << QByteArray(R"({\rtf1 \u99999999999?x})") << QString(QChar(0xFFFD)) + "x";
        QTest::newRow("huge skip count") << QByteArray(R"({\rtf1 {\uc99999\u8364 abc}x})") << QString::fromUtf8("€x");
        QTest::newRow("extra closing braces") << QByteArray(R"({\rtf1 a}}}}b)") << "a";
        QTest::newRow("no closing brace") << QByteArray(R"({\rtf1 a)") << "a";
        QTest::newRow("ends in a backslash") << QByteArray("{\\rtf1 a\\") << "a";
        QTest::newRow("ends in half a hex") << QByteArray(R"({\rtf1 a\'4)") << "a";
        QTest::newRow("ends in a number") << QByteArray(R"({\rtf1 a\fs2)") << "a";
        QTest::newRow("huge binary length") << QByteArray(R"({\rtf1 a\bin999999999 b})") << "a";
        QTest::newRow("very long word") << "{\\rtf1 \\" + QByteArray(100000, 'b') + " x}"
                                        << "x";
        QTest::newRow("huge colour table") << "{\\rtf1 {\\colortbl" + QByteArray(100000, ';') + "}\\cf99999999 x}"
                                           << "x";
        QTest::newRow("colour without semicolon") << QByteArray(R"({\rtf1 {\colortbl\red255}\cf0 x})") << "x";
        QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 10) << "ab";
    }

    void damaged()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument document;
        readQuickly(rtf, &document);
        QCOMPARE(document.toPlainText(), text);
    }

    void everyTruncationOfTheShippedDocument()
    {
        const QByteArray hints = shippedHints();
        QVERIFY(hints.size() > 1000);
        QTextDocument document;
        for (qsizetype n = 0; n <= hints.size(); ++n) {
            readQuickly(hints.left(n), &document);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("at length %1").arg(n)));
        }
        // A document cut short keeps the text read before the cut.
        RtfReader::read(hints.left(hints.size() / 2), &document);
        QVERIFY(document.toPlainText().startsWith(QLatin1String("Welcome to Kavo Pursekeep")));
    }

    void randomByteFlipsInTheShippedDocument()
    {
        const QByteArray hints = shippedHints();
        QVERIFY(!hints.isEmpty());
        QRandomGenerator random(20240613);
        const QByteArray steering = "{}\\;'?*-0123456789";
        QTextDocument document;
        for (int round = 0; round < 400; ++round) {
            QByteArray damaged = hints;
            const int flips = 1 + int(random.bounded(12));
            for (int f = 0; f < flips; ++f) {
                const qsizetype at = random.bounded(int(damaged.size()));
                // Half the flips put in the characters that steer the reader.
                damaged[at] =
                    random.bounded(2) ? char(random.bounded(256)) : steering.at(random.bounded(int(steering.size())));
            }
            readQuickly(damaged, &document);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("in round %1").arg(round)));
        }
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"

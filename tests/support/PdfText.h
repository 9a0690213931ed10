#pragma once
// The text of a PDF file as `pdftotext -layout` reads it (poppler-utils):
// pages separated by form feeds, columns kept apart by spaces.
#include <QProcess>
#include <QString>
#include <QStringList>

inline QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<pdftotext failed: %1>").arg(QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The pages of the text, each a list of its lines with runs of spaces made
// one and blank lines left out.
inline QList<QStringList> pdfPages(const QString &text)
{
    QList<QStringList> pages;
    QStringList pageTexts = text.split(QLatin1Char('\f'));
    if (!pageTexts.isEmpty() && pageTexts.last().trimmed().isEmpty())
        pageTexts.removeLast();
    for (const QString &page : pageTexts) {
        QStringList lines;
        for (const QString &line : page.split(QLatin1Char('\n'))) {
            const QString simple = line.simplified();
            if (!simple.isEmpty())
                lines << simple;
        }
        pages << lines;
    }
    return pages;
}

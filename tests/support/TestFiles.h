#pragma once
// Files as a test puts them in place and reads them back: the whole file as
// bytes, and nothing of the program's own readers and writers in between.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// The file's bytes, or "<missing>" when it cannot be read: a file that is not
// there never passes for an empty one.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// `bytes` as the whole file, in place of anything there; the running test
// fails when the file cannot be written whole.
inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path + ": " + f.errorString()));
    QCOMPARE(f.write(bytes), bytes.size());
}

// `bytes` as the whole file, written over the old bytes in place and the rest
// cut off: the file is never truncated to nothing first, which makes some file
// systems flush it on every close (a test that rewrites a file thousands of
// times pays for that).
inline void rewriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::ReadWrite), qPrintable(path + ": " + f.errorString()));
    QCOMPARE(f.write(bytes), bytes.size());
    QVERIFY(f.resize(bytes.size()));
}

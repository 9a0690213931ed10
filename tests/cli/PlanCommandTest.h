#pragma once
// What the tests of pursekeep-cli's plan commands share: the built program run
// as a script runs it, and a fresh folder for each test row.
#include "DiskFailure.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class PlanCommandTest : public QObject
{
protected:
    QTemporaryDir m_dir;

    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };
    // `fileSizeLimit` > 0 runs the program with no file allowed past it.
    static Run run(const QStringList &args, qint64 fileSizeLimit = 0, const QString &zone = QString())
    {
        QProcess process;
        if (fileSizeLimit > 0)
            process.setChildProcessModifier([fileSizeLimit] { FileSizeLimit::apply(fileSizeLimit); });
        process.setProgram(QStringLiteral(PURSEKEEP_CLI));
        process.setArguments(args);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C.UTF-8"); // no currency symbol in the locale: "$"
        if (!zone.isEmpty())
            env.insert("TZ", zone);
        // The reports' GUI application wants a runtime folder of the user's.
        static const QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        process.setProcessEnvironment(env);
        process.start();
        process.waitForFinished(30000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    // A fresh folder per test row.
    QString folder(const QString &name)
    {
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-'
                                            + QString::fromLatin1(QTest::currentDataTag()) + u'-' + name);
        QDir().mkpath(path);
        return path;
    }

    static QStringList familyFiles(const QString &plan)
    {
        return {plan, plan + "ln", plan + "sv", plan + "cat", plan + "rem", plan + "ini"};
    }

    // Every test's start.
    void startCommandTests()
    {
        QVERIFY(m_dir.isValid());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
};

#pragma once
// Reaching a window's controls by their object names, and checking the
// models behind its grids.
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QList>
#include <QObject>
#include <QString>
#include <QWidget>
#include <QtGlobal>

// The control of type T named `name` under `parent`. A test that cannot reach
// the control it drives (renamed, of another type, or its window gone) stops
// the run there, saying what it looked for and where, rather than crashing
// later on a null pointer.
template <typename T = QWidget>
T *child(const QObject *parent, const QString &name)
{
    const char *type = T::staticMetaObject.className();
    if (!parent)
        qFatal("no %s named \"%s\": the window to look in is not there", type, qPrintable(name));
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no %s named \"%s\" in %s \"%s\"", type, qPrintable(name), parent->metaObject()->className(),
               qPrintable(parent->objectName()));
    return found;
}

// Puts a QAbstractItemModelTester on every model of type M behind a view
// under `top` that has none yet. It checks the model's answers at once and
// after every signal the model sends for as long as the model lives, and
// fails the running test at the first wrong one. Returns how many such models
// there are under `top`, each with its tester.
template <typename M>
int testModels(const QObject *top)
{
    QList<M *> models;
    for (QAbstractItemView *view : top->findChildren<QAbstractItemView *>()) {
        auto *model = qobject_cast<M *>(view->model());
        if (!model || models.contains(model))
            continue;
        models << model;
        if (!model->template findChild<QAbstractItemModelTester *>(QString(), Qt::FindDirectChildrenOnly))
            new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
    }
    return int(models.size());
}

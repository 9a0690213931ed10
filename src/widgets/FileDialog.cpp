#include "FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QQueue>
#include <QStandardPaths>

namespace {
bool g_testMode = false;
QQueue<std::optional<QString>> g_answers;
QList<FileDialog::Request> g_requests;
int g_unexpected = 0;
QString g_lastFolder;
} // namespace

std::optional<QString> FileDialog::run(QWidget *parent, Request request)
{
    if (request.directory.isEmpty())
        request.directory = startFolder();
    std::optional<QString> chosen;
    if (g_testMode) {
        g_requests.append(request);
        if (g_answers.isEmpty())
            ++g_unexpected;
        else
            chosen = g_answers.dequeue();
    } else {
        QFileDialog dialog(parent, request.title, request.directory, request.filter);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.folder     ? QFileDialog::Directory
                               : request.save ? QFileDialog::AnyFile
                                              : QFileDialog::ExistingFile);
        if (request.folder)
            dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setDefaultSuffix(request.defaultSuffix);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        // Qt's save dialog asks before it overwrites an existing file.
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (chosen && !chosen->isEmpty()) {
        g_lastFolder = request.folder ? QFileInfo(*chosen).absoluteFilePath() : QFileInfo(*chosen).absolutePath();
        return QFileInfo(*chosen).absoluteFilePath();
    }
    return std::nullopt;
}

std::optional<QString> FileDialog::getOpenFileName(QWidget *parent, const Request &request)
{
    Request r = request;
    r.save = false;
    return run(parent, r);
}

std::optional<QString> FileDialog::getSaveFileName(QWidget *parent, const Request &request)
{
    Request r = request;
    r.save = true;
    return run(parent, r);
}

std::optional<QString> FileDialog::getExistingDirectory(QWidget *parent, const Request &request)
{
    Request r = request;
    r.save = false;
    r.folder = true;
    return run(parent, r);
}

QString FileDialog::startFolder(const QString &planFile)
{
    if (!planFile.isEmpty()) {
        const QFileInfo plan(planFile);
        if (plan.isAbsolute() && plan.isFile())
            return plan.absolutePath();
    }
    if (!g_lastFolder.isEmpty() && QFileInfo(g_lastFolder).isDir())
        return g_lastFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

QString FileDialog::lastFolder()
{
    return g_lastFolder;
}
void FileDialog::setLastFolder(const QString &folder)
{
    g_lastFolder = folder;
}

void FileDialog::setTestMode(bool on)
{
    g_testMode = on;
}
void FileDialog::queuePath(const QString &path)
{
    g_answers.enqueue(path);
}
void FileDialog::queueCancel()
{
    g_answers.enqueue(std::nullopt);
}
int FileDialog::pendingAnswers()
{
    return static_cast<int>(g_answers.size());
}
int FileDialog::unexpectedCount()
{
    return g_unexpected;
}

QList<FileDialog::Request> FileDialog::takeRequests()
{
    QList<Request> out;
    out.swap(g_requests);
    return out;
}

void FileDialog::resetTestState()
{
    g_answers.clear();
    g_requests.clear();
    g_unexpected = 0;
    g_lastFolder.clear();
}

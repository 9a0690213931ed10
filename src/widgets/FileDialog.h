#pragma once
#include <QList>
#include <QString>
#include <optional>

class QWidget;

// The open and save dialogs. A confirmed dialog makes the chosen file's folder
// the process's current folder. Tests queue the path the "user" picks, or a
// cancel, and read back the requests the program made.
class FileDialog
{
public:
    struct Request
    {
        bool save = false;
        bool folder = false;   // choose an existing folder
        QString title;
        QString directory;
        QString fileName;      // proposed name
        QString defaultSuffix; // "pkb"
        QString filter;        // "Pursekeep files (*.pkb *.PKB)"
    };

    // The chosen full path, or nothing when cancelled.
    static std::optional<QString> getOpenFileName(QWidget *parent, const Request &request);
    // Asks before overwriting an existing file.
    static std::optional<QString> getSaveFileName(QWidget *parent, const Request &request);

    // The chosen folder's full path, or nothing when cancelled.
    static std::optional<QString> getExistingDirectory(QWidget *parent, const Request &request);

    // --- test seam ---------------------------------------------------------
    static void setTestMode(bool on);
    static void queuePath(const QString &path);
    static void queueCancel();
    static int pendingAnswers();
    static QList<Request> takeRequests();
    static int unexpectedCount();
    static void resetTestState();

private:
    static std::optional<QString> run(QWidget *parent, Request request);
};

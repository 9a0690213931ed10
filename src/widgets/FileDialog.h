#pragma once
#include <QList>
#include <QString>
#include <optional>

class QWidget;

// The open and save dialogs. A confirmed dialog remembers the chosen file's
// folder as the last folder used; the process's current folder never changes,
// so nothing the program keeps by a relative name follows the person around.
// Tests queue the path the "user" picks, or a cancel, and read back the
// requests the program made.
class FileDialog
{
public:
    struct Request
    {
        bool save = false;
        bool folder = false; // choose an existing folder
        QString title;
        QString directory;
        QString fileName; // proposed name
        QString defaultSuffix; // "pkb"
        QString filter; // "Pursekeep files (*.pkb *.PKB)"
    };

    // The chosen full path, or nothing when cancelled.
    static std::optional<QString> getOpenFileName(QWidget *parent, const Request &request);
    // Asks before overwriting an existing file.
    static std::optional<QString> getSaveFileName(QWidget *parent, const Request &request);

    // The chosen folder's full path, or nothing when cancelled.
    static std::optional<QString> getExistingDirectory(QWidget *parent, const Request &request);

    // Where a dialog about `planFile` starts: the plan's folder when the plan
    // is a file on disk, else the last folder used, else the person's
    // documents folder (their home folder when there is none).
    static QString startFolder(const QString &planFile = QString());
    // The last folder a dialog was confirmed in (empty when none yet); the
    // program sets it at start-up from the plan it last opened or saved.
    static QString lastFolder();
    static void setLastFolder(const QString &folder);

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

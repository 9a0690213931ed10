#pragma once
#include "auxwindows/BrowserWindow.h"

#include <QUrl>
#include <QWidget>

class AnimatedPicture;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class QWebEngineView;

// The program's web browser: web pages and the help pages, with an address
// box that remembers the addresses typed in it ("hist.txt" in the program's
// own folder), the navigation buttons, a busy picture, the status text and a
// progress bar. One at a time; the main window opens it through the browser
// plugin (BrowserPlugin.cpp), which holds this window and the web engine.
class Tfrm_browser : public QWidget, public BrowserWindow
{
    Q_OBJECT
public:
    // Opens `start`, or the home page when it is empty. The help pages are in
    // `programFolder`; the typed addresses are kept in `ownFolder`.
    explicit Tfrm_browser(const QString &programFolder, const QString &ownFolder, const QUrl &start = QUrl(),
                          QWidget *parent = nullptr);
    ~Tfrm_browser() override;

    // The home page works without a network: the program's own help
    // contents. The search page is a web search.
    static QUrl homePage(const QString &programFolder);
    static QUrl searchPage();

    QWebEngineView *view() const { return m_webb; }
    QComboBox *history() const { return m_history; }
    QStringList historyEntries() const;
    QString statusText() const;
    QProgressBar *progressBar() const { return m_progress; }
    AnimatedPicture *busyPicture() const { return m_busy; }
    QWidget *browserWidget() override { return this; }
    QMenu *fileMenu() const override { return m_fileMenu; }
    // Each time it becomes the active window: the history list is read
    // again from "hist.txt" when the file is there.
    void activate() override;
    void whenClosed(QObject *context, std::function<void()> handler) override;

    // GO, and Enter in the address box: an empty box does nothing.
    void btn_goClick();
    void clearHistory();

signals:
    void closed();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void nameWebPage();
    QToolButton *navigationButton(const char *name, const char *caption, const char *hint, int picture);
    void loadHistory();
    void navigationStarted();
    void addToHistory(const QString &address);

    QString m_programFolder;
    QString m_historyFile;
    QWebEngineView *m_webb = nullptr;
    QComboBox *m_history = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_progress = nullptr;
    AnimatedPicture *m_busy = nullptr;
    QMenu *m_fileMenu = nullptr;
};

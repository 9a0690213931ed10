#pragma once
#include <QFrame>
#include <QString>

#include <functional>

class QAction;
class QCheckBox;
class QMdiArea;
class QTextEdit;

// The start-up hints panel `pnlhint`, floating centred near the top of the
// document area over the document windows, and the two hint options of the
// Options menu kept in "cfgpk.ini" in the program folder: whether the panel
// shows at start-up (`mnushowstartup`) and whether the controls of every
// window show their tooltips (`mnushowhints`, the on-screen hints setting).
class HintsPanel : public QFrame
{
    Q_OBJECT
public:
    // The Options entries that switch the two options.
    struct Entries
    {
        QAction *showStartup;
        QAction *enableHints;
    };
    // `programFolder` holds the configuration file; `resourceFolder`, the
    // hints document "pkhint.rtf" and the check mark "check.bmp".
    HintsPanel(QMdiArea *area, const Entries &entries, const QString &programFolder, const QString &resourceFolder);

    // What the configuration file says, given to the panel, the two entries
    // and the on-screen hints setting: once, when the main window is created.
    void applyConfiguration();
    bool hintsEnabled() const { return m_hints; }
    // Centred near the top of the document area.
    void place();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One option: its Options entry, its section of the configuration file
    // and what it does when switched on or off.
    struct Option
    {
        QAction *entry = nullptr;
        QString section;
        std::function<void(bool on)> follow;
        // Whether a missing check mark stops the option there (the panel is
        // not shown), rather than only leaving its entry without the mark.
        bool stopsWithoutMark = false;
    };

    void buildControls();
    void switchOption(const Option &option);
    void cb_show_hintClick();
    QString configFile() const;
    bool readOption(const QString &section) const;
    bool writeOption(const QString &section, bool on);
    bool markEntry(QAction *entry);
    bool loadHints();
    void showHintsPanel(bool on);
    void showPanel();
    void closePanel();
    void setHints(bool on);

    QMdiArea *m_area;
    QString m_programFolder;
    QString m_resourceFolder;
    Option m_startup;
    Option m_onScreen;
    QTextEdit *m_text = nullptr;
    QCheckBox *m_showOnStartup = nullptr;
    bool m_hints = false;
};

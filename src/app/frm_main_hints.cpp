// The main window's configuration: the start-up hints panel and the
// on-screen hints, kept in "cfgpk.ini" in the program folder.
#include "frm_main.h"

#include "plan/IniFile.h"
#include "plan/PlanFileError.h"
#include "plan/RegularFile.h"
#include "widgets/MessageBox.h"
#include "widgets/OnScreenHints.h"
#include "widgets/RtfReader.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QEvent>
#include <QImageReader>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTextCursor>
#include <QTextEdit>

namespace {
const QString kShowHint = QStringLiteral("showhint");
const QString kEnableHints = QStringLiteral("enablehints");
const QString kKey = QStringLiteral("0");
} // namespace

QString Tfrm_main::configFile() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("cfgpk.ini"));
}

// The picture of an Options entry that is on. The program's own copy beside
// the executable, wherever a file dialog has taken the current folder.
std::optional<QIcon> Tfrm_main::checkPicture()
{
    const QString file = QDir(m_resourceFolder).filePath(QStringLiteral("check.bmp"));
    const QPixmap picture(file);
    if (picture.isNull()) {
        MessageBox::error(this, QStringLiteral("Cannot open file %1").arg(file));
        return std::nullopt;
    }
    return QIcon(picture);
}

bool Tfrm_main::loadHints()
{
    const QString file = QDir(m_resourceFolder).filePath(QStringLiteral("pkhint.rtf"));
    // A regular file of a document's size only: never a pipe or a device.
    constexpr qint64 kMaxHintsSize = qint64(16) << 20;
    const RegularFile::Contents rtf = RegularFile::read(file, kMaxHintsSize);
    auto *text = m_hintPanel->findChild<QTextEdit *>(QStringLiteral("RE1"));
    if (!rtf.ok() || !RtfReader::read(rtf.bytes, text->document())) {
        MessageBox::error(this, QStringLiteral("Cannot open file %1").arg(file));
        return false;
    }
    text->moveCursor(QTextCursor::Start); // read from the top
    return true;
}

bool Tfrm_main::writeOption(const QString &section, bool on)
{
    try {
        IniFile::write(configFile(), section, kKey, on ? QStringLiteral("true") : QStringLiteral("false"));
    } catch (const FileWriteError &) {
        MessageBox::error(this, QStringLiteral("Unable to write to %1").arg(configFile()));
        return false;
    }
    return true;
}

void Tfrm_main::applyConfiguration()
{
    QAction *startup = action(QStringLiteral("mnushowstartup"));
    QAction *hints = action(QStringLiteral("mnushowhints"));
    // Only the exact text "true" is on; a missing file, section or key is "ERROR".
    const auto on = [this](const QString &section) {
        return IniFile::read(configFile(), section, kKey, QStringLiteral("ERROR")) == QLatin1String("true");
    };
    if (on(kShowHint)) {
        showHintPanel();
        startup->setChecked(true);
        const std::optional<QIcon> picture = checkPicture();
        if (!picture)
            return;
        startup->setIcon(*picture);
        if (!loadHints())
            return;
    } else {
        m_hintPanel->hide();
        startup->setChecked(false);
    }
    if (on(kEnableHints)) {
        hints->setChecked(true);
        const std::optional<QIcon> picture = checkPicture();
        if (!picture)
            return;
        hints->setIcon(*picture);
        setHints(true);
    } else {
        hints->setChecked(false);
        setHints(false);
    }
}

void Tfrm_main::setHints(bool on)
{
    m_hints = on;
    OnScreenHints::setEnabled(on);
}

void Tfrm_main::mnushowstartupClick()
{
    QAction *startup = action(QStringLiteral("mnushowstartup"));
    // The entry's state is what it was before this click.
    const bool wasOn = !startup->isChecked();
    if (!writeOption(kShowHint, !wasOn)) {
        startup->setChecked(wasOn);
        return;
    }
    if (wasOn) {
        startup->setChecked(false);
        startup->setIcon(QIcon());
        closeHintPanel();
        return;
    }
    startup->setChecked(true);
    const std::optional<QIcon> picture = checkPicture();
    if (!picture)
        return;
    startup->setIcon(*picture);
    if (!loadHints())
        return;
    showHintPanel();
}

void Tfrm_main::mnushowhintsClick()
{
    QAction *hints = action(QStringLiteral("mnushowhints"));
    const bool wasOn = !hints->isChecked();
    if (!writeOption(kEnableHints, !wasOn)) {
        hints->setChecked(wasOn);
        return;
    }
    if (wasOn) {
        hints->setChecked(false);
        hints->setIcon(QIcon());
        setHints(false);
        return;
    }
    hints->setChecked(true);
    const std::optional<QIcon> picture = checkPicture();
    if (picture)
        hints->setIcon(*picture);
    setHints(true);
}

void Tfrm_main::cb_show_hintClick()
{
    auto *box = m_hintPanel->findChild<QCheckBox *>(QStringLiteral("cb_show_hint"));
    if (box->isChecked())
        return;
    if (!writeOption(kShowHint, false)) {
        box->setChecked(true);
        return;
    }
    QAction *startup = action(QStringLiteral("mnushowstartup"));
    startup->setChecked(false);
    startup->setIcon(QIcon());
    // Off for the rest of this run; the panel stays until it is closed.
    box->setEnabled(false);
}

// The hints panel stands centred near the top of the document area, over the
// document windows.
void Tfrm_main::showHintPanel()
{
    m_hintPanel->show();
    placeHintPanel();
    m_hintPanel->raise();
}

void Tfrm_main::placeHintPanel()
{
    m_hintPanel->move(qMax(0, (m_mdi->width() - m_hintPanel->width()) / 2), 10);
}

// The panel goes without changing the active document window: the keys go
// back to that window rather than to whichever comes next after the panel.
void Tfrm_main::closeHintPanel()
{
    QMdiSubWindow *active = m_mdi->activeSubWindow();
    if (active && m_hintPanel->isAncestorOf(QApplication::focusWidget())) {
        QWidget *last = active->widget()->focusWidget();
        (last ? last : active->widget())->setFocus(Qt::OtherFocusReason);
    }
    m_hintPanel->hide();
    if (active && m_mdi->activeSubWindow() != active)
        m_mdi->setActiveSubWindow(active);
}

bool Tfrm_main::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mdi && event->type() == QEvent::Resize && m_hintPanel->isVisible())
        placeHintPanel();
    return QMainWindow::eventFilter(watched, event);
}

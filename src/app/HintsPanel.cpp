// The start-up hints panel and the two hint options, kept in "cfgpk.ini" in
// the program folder. Only the exact text "true" is on; a missing file,
// section or key reads as "ERROR", which is off.
#include "HintsPanel.h"

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
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
const QString kKey = QStringLiteral("0");
} // namespace

HintsPanel::HintsPanel(QMdiArea *area, const Entries &entries, const QString &programFolder,
                       const QString &resourceFolder)
    : QFrame(area), m_area(area), m_programFolder(programFolder), m_resourceFolder(resourceFolder)
{
    m_startup = {entries.showStartup, QStringLiteral("showhint"), [this](bool on) { showHintsPanel(on); }, true};
    m_onScreen = {entries.enableHints, QStringLiteral("enablehints"), [this](bool on) { setHints(on); }, false};
    buildControls();
    connect(m_startup.entry, &QAction::triggered, this, [this] { switchOption(m_startup); });
    connect(m_onScreen.entry, &QAction::triggered, this, [this] { switchOption(m_onScreen); });
    m_area->installEventFilter(this);
    hide();
}

void HintsPanel::buildControls()
{
    setObjectName(QStringLiteral("pnlhint"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    resize(665, 345);
    auto *layout = new QVBoxLayout(this);
    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("RE1"));
    // The hints can be marked up on screen; nothing is written back.
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setFixedHeight(304);
    auto *bottom = new QHBoxLayout;
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("btn_hint_close"));
    close->setToolTip(QStringLiteral("Close This Hint"));
    m_showOnStartup = new QCheckBox(QStringLiteral("Show On Startup"), this);
    m_showOnStartup->setObjectName(QStringLiteral("cb_show_hint"));
    m_showOnStartup->setToolTip(QStringLiteral("Click To Show This Hint On Startup"));
    m_showOnStartup->setChecked(true);
    bottom->addWidget(close);
    bottom->addStretch(1);
    bottom->addWidget(m_showOnStartup);
    layout->addWidget(m_text);
    layout->addLayout(bottom);
    connect(close, &QPushButton::clicked, this, &HintsPanel::closePanel);
    connect(m_showOnStartup, &QCheckBox::clicked, this, &HintsPanel::cb_show_hintClick);
}

// A missing check mark or hints document skips the rest, leaving on-screen
// hints off.
void HintsPanel::applyConfiguration()
{
    const bool showAtStart = readOption(m_startup.section);
    m_startup.entry->setChecked(showAtStart);
    if (showAtStart) {
        showPanel();
        if (!markEntry(m_startup.entry) || !loadHints())
            return;
    } else {
        hide();
    }
    const bool hints = readOption(m_onScreen.section);
    m_onScreen.entry->setChecked(hints);
    if (hints && !markEntry(m_onScreen.entry))
        return;
    setHints(hints);
}

// Either Options entry: the file first (a file that cannot be written leaves
// the entry as it was), then the entry's mark, then what the option does.
void HintsPanel::switchOption(const Option &option)
{
    // A checkable entry has taken its new state by the time it is triggered.
    const bool on = option.entry->isChecked();
    if (!writeOption(option.section, on)) {
        option.entry->setChecked(!on);
        return;
    }
    if (!on)
        option.entry->setIcon(QIcon());
    else if (!markEntry(option.entry) && option.stopsWithoutMark)
        return;
    option.follow(on);
}

// Unchecked, the box turns the start-up option off for the rest of this run;
// the panel stays until it is closed.
void HintsPanel::cb_show_hintClick()
{
    if (m_showOnStartup->isChecked())
        return;
    if (!writeOption(m_startup.section, false)) {
        m_showOnStartup->setChecked(true);
        return;
    }
    m_startup.entry->setChecked(false);
    m_startup.entry->setIcon(QIcon());
    m_showOnStartup->setEnabled(false);
}

QString HintsPanel::configFile() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("cfgpk.ini"));
}

bool HintsPanel::readOption(const QString &section) const
{
    return IniFile::read(configFile(), section, kKey, QStringLiteral("ERROR")) == QLatin1String("true");
}

bool HintsPanel::writeOption(const QString &section, bool on)
{
    try {
        IniFile::write(configFile(), section, kKey, on ? QStringLiteral("true") : QStringLiteral("false"));
    } catch (const FileWriteError &) {
        MessageBox::error(window(), QStringLiteral("Unable to write to %1").arg(configFile()));
        return false;
    }
    return true;
}

// The check mark beside an entry that is on: the program's own copy, wherever
// a file dialog has taken the current folder. False, after saying so, when
// the picture cannot be read.
bool HintsPanel::markEntry(QAction *entry)
{
    const QString file = QDir(m_resourceFolder).filePath(QStringLiteral("check.bmp"));
    const QPixmap picture(file);
    if (picture.isNull()) {
        MessageBox::error(window(), QStringLiteral("Cannot open file %1").arg(file));
        return false;
    }
    entry->setIcon(QIcon(picture));
    return true;
}

bool HintsPanel::loadHints()
{
    const QString file = QDir(m_resourceFolder).filePath(QStringLiteral("pkhint.rtf"));
    // A regular file of a document's size only: never a pipe or a device.
    constexpr qint64 kMaxHintsSize = qint64(16) << 20;
    const RegularFile::Contents rtf = RegularFile::read(file, kMaxHintsSize);
    if (!rtf.ok() || !RtfReader::read(rtf.bytes, m_text->document())) {
        MessageBox::error(window(), QStringLiteral("Cannot open file %1").arg(file));
        return false;
    }
    m_text->moveCursor(QTextCursor::Start); // read from the top
    return true;
}

// The start-up option: the panel with the hints document shown, or closed.
void HintsPanel::showHintsPanel(bool on)
{
    if (!on)
        closePanel();
    else if (loadHints())
        showPanel();
}

// The on-screen hints option.
void HintsPanel::setHints(bool on)
{
    m_hints = on;
    OnScreenHints::setEnabled(on);
}

// Over the document windows.
void HintsPanel::showPanel()
{
    show();
    place();
    raise();
}

void HintsPanel::place()
{
    move(qMax(0, (m_area->width() - width()) / 2), 10);
}

// The panel goes without changing the active document window: the keys go
// back to that window rather than to whichever comes next after the panel.
void HintsPanel::closePanel()
{
    QMdiSubWindow *active = m_area->activeSubWindow();
    if (active && isAncestorOf(QApplication::focusWidget())) {
        QWidget *last = active->widget()->focusWidget();
        (last ? last : active->widget())->setFocus(Qt::OtherFocusReason);
    }
    hide();
    if (active && m_area->activeSubWindow() != active)
        m_area->setActiveSubWindow(active);
}

bool HintsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Resize && isVisible())
        place();
    return QFrame::eventFilter(watched, event);
}

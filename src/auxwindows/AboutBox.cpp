#include "auxwindows/AboutBox.h"

#include "auxwindows/AnimatedPicture.h"
#include "auxwindows/Pictures.h"
#include "widgets/Format.h"
#include "widgets/ModalRunner.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// Memory and drive sizes are shown in units of 1024000 bytes.
QString megabytes(double bytes)
{
    return Format::fixed2(bytes / 1024000.0);
}

QLabel *namedLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QString orUnknown(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("Unknown") : text;
}

const QString productVersion = QStringLiteral(PURSEKEEP_VERSION);

const QString termsOfUse =
    QStringLiteral("Kavo Pursekeep is provided as is, without warranty of any kind.\n\n"
                   "It is a planning aid, not financial advice: check its figures before you rely on them.\n\n"
                   "Your plans are kept only in the files you save.");

} // namespace

TAboutBox::TAboutBox(QWidget *parent) : TAboutBox(SystemFacts::read(), parent)
{
}

TAboutBox::TAboutBox(const SystemFacts &facts, QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                  | Qt::MSWindowsFixedSizeDialogHint),
      m_facts(facts)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(Pictures::programIcon());
    setFixedSize(402, 450);

    auto *panel = new QFrame(this);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *inside = new QVBoxLayout(panel);
    inside->addWidget(createHeading());
    inside->addWidget(createTitleStrip());
    inside->addWidget(createDrivesAndSystem());
    inside->addWidget(createMemoryPanel());
    inside->addWidget(createNotice(), 1);

    auto *OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(panel, 1);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);

    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TAboutBox::showAbout(QWidget *parent)
{
    TAboutBox box(parent);
    ModalRunner::exec(&box);
}

QStringList TAboutBox::driveLines(const SystemFacts::Drive &drive)
{
    if (drive.totalBytes < 0 || drive.freeBytes < 0)
        return {QStringLiteral("Size of %1 cannot be read").arg(drive.name)};
    return {QStringLiteral("Total Disk Size ") + megabytes(drive.totalBytes) + QStringLiteral("  MB"),
            QStringLiteral("Space Free ") + megabytes(drive.freeBytes) + QStringLiteral("  MB")};
}

QWidget *TAboutBox::createHeading()
{
    auto *area = new QWidget(this);
    auto *ProgramIcon = namedLabel("ProgramIcon", QString(), area);
    ProgramIcon->setPixmap(Pictures::programIcon().pixmap(48, 48));
    ProgramIcon->setFixedSize(48, 48);

    const QString major = productVersion.section(QLatin1Char('.'), 0, 0);
    auto *ProductName = namedLabel(
        "ProductName", QStringLiteral("Kavo Pursekeep Version %1 (release %2)").arg(major, productVersion), area);
    QFont bold = ProductName->font();
    bold.setBold(true);
    ProductName->setFont(bold);
    auto *notice = namedLabel("lblnotice", QStringLiteral("Plan your household budget"), area);

    auto *texts = new QVBoxLayout;
    texts->addWidget(ProductName);
    texts->addWidget(notice);
    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ProgramIcon);
    layout->addSpacing(8);
    layout->addLayout(texts, 1);
    return area;
}

QWidget *TAboutBox::createTitleStrip()
{
    auto *area = new QWidget(this);
    auto *Label4 = namedLabel("Label4", QStringLiteral("System Information"), area);
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    auto *Animate1 = new AnimatedPicture(&Pictures::searchingComputer, Pictures::searchFrameCount,
                                         Pictures::searchFrameMilliseconds, area);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setFixedSize(48, 40);

    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label4, 1);
    layout->addWidget(Animate1);
    return area;
}

QWidget *TAboutBox::createDrivesAndSystem()
{
    auto *area = new QWidget(this);
    m_DrvCB = new QComboBox(area);
    m_DrvCB->setObjectName(QStringLiteral("DrvCB"));
    // Mount points can be long; they must not squeeze the system column.
    m_DrvCB->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_DrvCB->setMinimumContentsLength(8);
    for (const SystemFacts::Drive &drive : m_facts.drives)
        m_DrvCB->addItem(drive.name);
    // activated, not currentIndexChanged: choosing the shown drive again
    // refills the memo as well.
    connect(m_DrvCB, &QComboBox::activated, this, &TAboutBox::DrvCBChange);

    m_Memcurdrv = new QPlainTextEdit(QStringLiteral("Memcurdrv"), area);
    m_Memcurdrv->setObjectName(QStringLiteral("Memcurdrv"));
    m_Memcurdrv->setReadOnly(true);
    m_Memcurdrv->setAccessibleName(QStringLiteral("Drive Details"));
    m_Memcurdrv->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_Memcurdrv->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_Memcurdrv->setFixedHeight(72);

    auto *drives = new QVBoxLayout;
    drives->addWidget(m_DrvCB);
    drives->addWidget(m_Memcurdrv);
    drives->addStretch();

    const QString freeMemory = megabytes(m_facts.availableMemory) + QStringLiteral(" MB free");
    auto *system = new QVBoxLayout;
    system->setSpacing(2);
    for (QLabel *label :
         {namedLabel("lbluser", orUnknown(m_facts.user), area),
          namedLabel("lblcomputer", orUnknown(m_facts.computer), area),
          namedLabel("lblprocessor", orUnknown(m_facts.processor), area),
          namedLabel("lblspeed", orUnknown(m_facts.processorSpeed), area), namedLabel("lblfreemem", freeMemory, area),
          namedLabel("lblplatform", orUnknown(m_facts.platform), area)}) {
        label->setWordWrap(true);
        system->addWidget(label);
    }
    system->addStretch();

    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(drives, 3);
    layout->addLayout(system, 2);
    area->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    return area;
}

QWidget *TAboutBox::createMemoryPanel()
{
    auto *pnlmemory = new QFrame(this);
    pnlmemory->setObjectName(QStringLiteral("pnlmemory"));
    pnlmemory->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);

    auto *layout = new QGridLayout(pnlmemory);
    const QString rows[3][3] = {
        {QStringLiteral("Label5"), QStringLiteral("Total Physical Memory :"),
         megabytes(m_facts.totalMemory) + QStringLiteral(" MB")},
        {QStringLiteral("Label6"), QStringLiteral("Available Physical Memory :"),
         megabytes(m_facts.availableMemory) + QStringLiteral(" MB")},
        {QStringLiteral("Label7"), QStringLiteral("% Of Memory Used :"),
         Format::fixed2(m_facts.memoryLoad) + QStringLiteral(" %")},
    };
    const char *figures[3] = {"lbltotalmem", "lblmemused", "lblmemfree"};
    for (int row = 0; row < 3; ++row) {
        auto *caption = new QLabel(rows[row][1], pnlmemory);
        caption->setObjectName(rows[row][0]);
        layout->addWidget(caption, row, 0);
        layout->addWidget(namedLabel(figures[row], rows[row][2], pnlmemory), row, 1, Qt::AlignRight);
    }
    return pnlmemory;
}

QWidget *TAboutBox::createNotice()
{
    auto *Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setAccessibleName(QStringLiteral("Terms Of Use"));
    Memo1->setPlainText(termsOfUse);
    Memo1->selectAll();
    Memo1->setAlignment(Qt::AlignHCenter);
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return Memo1;
}

void TAboutBox::DrvCBChange(int index)
{
    if (index < 0 || index >= m_facts.drives.size())
        return;
    m_Memcurdrv->clear();
    for (const QString &line : driveLines(m_facts.drives.at(index)))
        m_Memcurdrv->appendPlainText(line);
}

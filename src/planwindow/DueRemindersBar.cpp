#include "DueRemindersBar.h"
#include "widgets/FixedColours.h"

#include "plan/Plan.h"
#include "widgets/Format.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Enough rows to read a week's reminders at a glance; more scroll.
constexpr int kShownRows = 5;
} // namespace

DueRemindersBar::DueRemindersBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pnl_due_reminders"));
    setFrameShape(QFrame::StyledPanel);
    FixedColours::textOn(this, QColor(0xff, 0xf4, 0xc2), true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 4, 6);
    layout->setSpacing(4);
    auto *top = new QHBoxLayout;
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lbl_due_reminders"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("btn_close_due_reminders"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setAutoRaise(true);
    m_close->setToolTip(QStringLiteral("Close"));
    m_close->setAccessibleName(QStringLiteral("Close the due reminders"));
    connect(m_close, &QToolButton::clicked, this, &QWidget::hide);
    top->addWidget(m_title, 1);
    top->addWidget(m_close);
    layout->addLayout(top);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("tv_due_reminders"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setHeaderLabels({QStringLiteral("Kind"), QStringLiteral("Category"), QStringLiteral("Item"),
                             QStringLiteral("Description"), QStringLiteral("Date")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(3, QHeaderView::Stretch);
    layout->addWidget(m_list);
    hide();
}

void DueRemindersBar::showReminders(const QList<DueReminders::Due> &due)
{
    m_list->clear();
    if (due.isEmpty()) {
        hide();
        return;
    }
    m_title->setText(due.size() == 1
                         ? QStringLiteral("1 reminder falls due within the next seven days")
                         : QStringLiteral("%1 reminders fall due within the next seven days").arg(due.size()));
    QList<QTreeWidgetItem *> rows;
    rows.reserve(due.size());
    for (const DueReminders::Due &d : due) {
        const QString kind = d.kind == Kind::Expense ? QStringLiteral("Expense") : QStringLiteral("Income");
        rows << new QTreeWidgetItem({kind, d.cat, d.item, d.desc, Format::date(d.date)});
    }
    m_list->addTopLevelItems(rows);
    const int rowHeight = m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : fontMetrics().height() + 4;
    const int shown = static_cast<int>(std::min<qsizetype>(due.size(), kShownRows));
    m_list->setFixedHeight(m_list->header()->sizeHint().height() + shown * rowHeight + 2 * m_list->frameWidth());
    show();
}

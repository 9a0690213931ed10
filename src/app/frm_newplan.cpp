#include "frm_newplan.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Tfrm_newplan::Tfrm_newplan(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frm_newplan"));
    setWindowTitle(QStringLiteral("New Plan"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Name Of New Plan :"), this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("eb_newplan"));
    label->setBuddy(m_name);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("LMDsbtn_ok"));
    ok->setAutoDefault(false);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("LMDsbtn_cancel"));
    cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addWidget(label);
    layout->addWidget(m_name);
    layout->addLayout(buttons);
    setFixedWidth(320);

    connect(m_name, &QLineEdit::returnPressed, this, &QDialog::accept);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &Tfrm_newplan::reject);
}

void Tfrm_newplan::reject()
{
    m_name->clear();
    QDialog::reject();
}

QString Tfrm_newplan::planName() const
{
    return m_name->text();
}

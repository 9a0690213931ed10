#include "frm_cats.h"

#include "plan/Plan.h"
#include "plan/PlanEdits.h"
#include "widgets/PlanDocument.h"
#include "widgets/Controls.h"
#include "widgets/MessageBox.h"
#include "widgets/RadioGroup.h"
#include "widgets/TableModel.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString duplicateSuffix = QStringLiteral(" : Category Already Exists");

QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    // Enter belongs to the name box (it adds), never to a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

Tfrm_cats::Tfrm_cats(PlanDocument *window, QWidget *parent)
    : QDialog(parent ? parent : window,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_window(window), m_cats(&window->plan().categories())
{
    setObjectName(QStringLiteral("frm_cats"));
    setWindowTitle(QStringLiteral("Pursekeep / Catalogue Administration"));
    buildLayout();

    m_model = new TableModel(
        m_cats, {{"cat", QStringLiteral("Category"), {}}, {"catid", QStringLiteral("Type (I or E)"), {}}}, this);
    m_model->bindView(m_grid);
    m_grid->hideColumn(1);

    m_rememberedFilter = m_cats->filter();
    m_rememberedFiltered = m_cats->isFiltered();
    showKind(Kind::Income);

    connect(m_rgcat, &RadioGroup::clicked, this, &Tfrm_cats::rgcatClick);
    connect(m_name, &QLineEdit::returnPressed, findChild<QPushButton *>("btn_cat_add"), &QPushButton::click);
    connect(findChild<QPushButton *>("btn_cat_add"), &QPushButton::clicked, this, &Tfrm_cats::btn_cat_addClick);
    connect(findChild<QPushButton *>("btn_cat_del"), &QPushButton::clicked, this, &Tfrm_cats::btn_cat_delClick);
    connect(findChild<QPushButton *>("btn_cat_edit"), &QPushButton::clicked, this, &Tfrm_cats::btn_cat_editClick);
    connect(findChild<QPushButton *>("btn_cat_undo"), &QPushButton::clicked, this, &Tfrm_cats::btn_cat_undoClick);
    connect(findChild<QPushButton *>("btn_close"), &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Tfrm_cats::buildLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(5);

    m_grid = Controls::dataGrid(QStringLiteral("VDBG_cats"), this);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setAccessibleName(QStringLiteral("Categories"));
    layout->addWidget(m_grid, 1);

    auto *label = new QLabel(QStringLiteral("Enter Category Name :"), this);
    label->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("ebcatname"));
    m_name->setMaxLength(30);
    label->setBuddy(m_name);
    layout->addWidget(m_name);

    m_rgcat = new RadioGroup(QStringLiteral("rgcat"), QStringLiteral("Category Type"),
                             {QStringLiteral("Income"), QStringLiteral("Expense")}, 2, this);
    m_rgcat->setItemIndex(0);
    layout->addWidget(m_rgcat);

    auto *buttons = new QGridLayout;
    buttons->setHorizontalSpacing(6);
    buttons->setVerticalSpacing(5);
    buttons->addWidget(makeButton(QStringLiteral("btn_cat_add"), QStringLiteral("Add"), this), 0, 0);
    buttons->addWidget(makeButton(QStringLiteral("btn_cat_del"), QStringLiteral("Delete"), this), 0, 1);
    buttons->addWidget(makeButton(QStringLiteral("btn_cat_edit"), QStringLiteral("Edit"), this), 0, 2);
    buttons->addWidget(makeButton(QStringLiteral("btn_cat_undo"), QStringLiteral("Undo"), this), 1, 0);
    buttons->addWidget(makeButton(QStringLiteral("btn_close"), QStringLiteral("Close"), this), 1, 2);
    layout->addLayout(buttons);

    setFixedSize(264, 311);
}

QString Tfrm_cats::kindLetter() const
{
    return m_rgcat->itemIndex() == 1 ? Kind::Expense : Kind::Income;
}

// The grid lists the categories of one kind.
void Tfrm_cats::showKind(const QString &letter)
{
    m_rgcat->setItemIndex(letter == Kind::Expense ? 1 : 0);
    m_cats->setFilter(kindFilter(letter));
    m_cats->setFiltered(true);
}

void Tfrm_cats::rgcatClick()
{
    showKind(kindLetter());
}

void Tfrm_cats::reportDuplicate(const QString &engineMessage)
{
    MessageBox::error(this, engineMessage + duplicateSuffix);
    Controls::focusToCorrect(m_name);
}

void Tfrm_cats::btn_cat_addClick()
{
    const QString name = m_name->text();
    if (name.isEmpty())
        return;
    m_window->setSaved(false);
    PlanEdits::PlanEdit added = PlanEdits::addCategory(m_window->plan(), kindLetter(), name);
    if (!added.ok()) {
        reportDuplicate(added.error);
        return;
    }
    m_window->addToHistory(std::move(added.change));
    m_name->clear();
}

void Tfrm_cats::btn_cat_editClick()
{
    const QString name = m_name->text();
    if (name.isEmpty() || m_cats->currentRow() < 0)
        return;
    m_window->setSaved(false);
    update_item_cat_names(m_cats->asString("cat"), name);
}

bool Tfrm_cats::update_item_cat_names(const QString &formerName, const QString &newName)
{
    const QString kind = kindLetter();
    PlanEdits::PlanEdit renamed = PlanEdits::renameCategory(m_window->plan(), kind, formerName, newName);
    if (!renamed.ok()) {
        reportDuplicate(renamed.error);
        return false;
    }
    if (renamed.change.isEmpty())
        return true; // the name it had
    const QString stored = renamed.change.renamed().to;
    // The items page narrowed on the renamed category goes on showing it.
    Table &items = m_window->plan().items();
    if (items.filter() == categoryFilter(kind, formerName))
        items.setFilter(categoryFilter(kind, stored));
    m_window->addToHistory(std::move(renamed.change));
    m_formerName = formerName;
    m_newName = stored;
    m_renamedKind = kind;
    showCategory(stored);
    return true;
}

// Undo reaches the last rename only, and only once: a second Undo does nothing
// until there is a new rename. The category is found by the kind and the name
// the rename gave it; when it has gone meanwhile (deleted), there is nothing to
// undo. When its former name has been taken by another category meanwhile, the
// change is refused: the error is shown, nothing changes and the rename stays
// remembered. Undone, it is one more step of the plan's history.
void Tfrm_cats::btn_cat_undoClick()
{
    if (m_formerName.isEmpty() || m_newName.isEmpty())
        return;
    if (m_renamedKind != kindLetter())
        showKind(m_renamedKind);

    const int nameField = m_cats->fieldIndex("cat");
    bool found = false;
    for (int r = 0; r < m_cats->rowCount() && !found; ++r)
        found = m_cats->visibleValue(r, nameField).toString() == m_newName;
    const QString formerName = m_formerName;
    const QString newName = m_newName;
    if (found && !update_item_cat_names(newName, formerName))
        return;
    m_formerName.clear();
    m_newName.clear();
}

void Tfrm_cats::btn_cat_delClick()
{
    // An empty list has no current category: nothing to ask about.
    if (m_cats->currentRow() < 0)
        return;
    m_window->setSaved(false); // whatever the answer
    const QString name = m_cats->asString("cat");
    const QString kind = m_cats->asString("catid");
    const QChar cr(13);
    const QString question = kind == Kind::Income
        ? QStringLiteral("This action will delete all Income Items associated with the category :") + cr + name + cr
            + QStringLiteral("Do you wish to continue?")
        : QStringLiteral("This action will delete all Expense Items associated with the category -") + cr
            + QLatin1Char('"') + name + QLatin1Char('"') + cr + QStringLiteral("Do you wish to continue?");
    if (MessageBox::warningYesNo(this, question) != MessageBox::Answer::Yes)
        return;
    // Every reminder and item of the category goes, whatever the filters and
    // the reminders' link show at the moment; both stay as they are.
    m_window->addToHistory(PlanEdits::deleteCategory(m_window->plan(), kind, name).change);
}

// The grid's current row becomes the category of that name.
void Tfrm_cats::showCategory(const QString &name)
{
    const int nameField = m_cats->fieldIndex("cat");
    for (int r = 0; r < m_cats->rowCount(); ++r)
        if (m_cats->visibleValue(r, nameField).toString() == name) {
            m_cats->goTo(r);
            return;
        }
}

void Tfrm_cats::done(int result)
{
    m_cats->cancel();
    m_cats->setFilter(m_rememberedFilter);
    m_cats->setFiltered(m_rememberedFiltered);
    m_window->rebuildCategoryTrees();
    QDialog::done(result);
}

#include "frm_cats.h"

#include "plan/Plan.h"
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

// What a table shows: its filter, whether the filter is on, the link to its
// master and the cursor. Put back when the guard goes, whatever happened.
class ShownRowsGuard
{
public:
    explicit ShownRowsGuard(Table &table)
        : m_table(table), m_filter(table.filter()), m_filtered(table.isFiltered()),
          m_linked(table.isLinkActive()), m_row(table.currentRow())
    {
    }
    ~ShownRowsGuard()
    {
        m_table.cancel();
        m_table.setLinkActive(false);
        m_table.setFilter(m_filter);
        m_table.setFiltered(m_filtered);
        m_table.setLinkActive(m_linked);
        if (m_row >= 0 && !m_table.isEmpty())
            m_table.goTo(m_row);
    }
    ShownRowsGuard(const ShownRowsGuard &) = delete;
    ShownRowsGuard &operator=(const ShownRowsGuard &) = delete;

private:
    Table &m_table;
    QString m_filter;
    bool m_filtered;
    bool m_linked;
    int m_row;
};

// Gives every visible row of `table` the category `newName`; the filter in
// force selects the rows of the former name, so a changed row drops out of
// view. A row the table refuses (its key would be doubled) is left as it was.
// Returns how many rows changed.
int moveVisibleRowsTo(Table &table, const QString &newName)
{
    int changed = 0;
    int row = 0;
    while (row < table.rowCount()) {
        const int before = table.rowCount();
        table.goTo(row);
        table.edit();
        table.setValue("cat", newName);
        try {
            table.post();
            ++changed;
            if (table.rowCount() >= before)
                ++row; // still in view: move on rather than change it again
        } catch (const TableError &) {
            table.cancel();
            ++row;
        }
    }
    return changed;
}

QString reminderCategoryFilter(const QString &kind, const QString &category)
{
    return QStringLiteral("cat_id = ") + quoteFilterText(kind) + QStringLiteral(" and cat = ")
           + quoteFilterText(category);
}

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

    m_model = new TableModel(m_cats, {{"cat", QStringLiteral("Category"), {}},
                                      {"catid", QStringLiteral("Type (I or E)"), {}}},
                             this);
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
    layout->addWidget(m_grid, 1);

    auto *label = new QLabel(QStringLiteral("Enter Category Name :"), this);
    label->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("ebcatname"));
    m_name->setMaxLength(30);
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
    m_name->setFocus();
}

void Tfrm_cats::btn_cat_addClick()
{
    const QString name = m_name->text();
    if (name.isEmpty())
        return;
    m_window->setSaved(false);
    m_cats->insert();
    m_cats->setValue("cat", name);
    m_cats->setValue("catid", kindLetter());
    try {
        m_cats->post();
    } catch (const TableError &e) {
        m_cats->cancel();
        reportDuplicate(e.message());
        return;
    }
    m_name->clear();
}

void Tfrm_cats::btn_cat_editClick()
{
    const QString name = m_name->text();
    if (name.isEmpty() || m_cats->currentRow() < 0)
        return;
    m_window->setSaved(false);
    const QString kind = kindLetter();
    const QString formerName = m_cats->asString("cat");
    m_cats->edit();
    m_cats->setValue("cat", name);
    // The name as the table keeps it (cut to the field's width).
    const QString newName = m_cats->asString("cat");
    try {
        m_cats->post();
    } catch (const TableError &e) {
        m_cats->cancel();
        reportDuplicate(e.message());
        return;
    }
    m_formerName = formerName;
    m_newName = newName;
    m_renamedKind = kind;
    update_item_cat_names(formerName, newName);
}

// Undo reaches the last rename only, and only once: a second Undo does nothing
// until there is a new rename. The category is found by the kind and the name
// the rename gave it; when it has gone meanwhile (deleted), there is nothing to
// undo. When its former name has been taken by another category meanwhile, the
// table refuses the change: the error is shown, nothing changes and the rename
// stays remembered.
void Tfrm_cats::btn_cat_undoClick()
{
    if (m_formerName.isEmpty() || m_newName.isEmpty())
        return;
    if (m_renamedKind != kindLetter())
        showKind(m_renamedKind);

    const int nameField = m_cats->fieldIndex("cat");
    int row = -1;
    for (int r = 0; r < m_cats->rowCount() && row < 0; ++r)
        if (m_cats->visibleValue(r, nameField).toString() == m_newName)
            row = r;
    if (row < 0) {
        m_formerName.clear();
        m_newName.clear();
        return;
    }

    m_cats->goTo(row);
    m_cats->edit();
    m_cats->setValue("cat", m_formerName);
    try {
        m_cats->post();
    } catch (const TableError &e) {
        m_cats->cancel();
        reportDuplicate(e.message());
        return;
    }
    m_window->setSaved(false);
    const QString formerName = m_formerName;
    const QString newName = m_newName;
    m_formerName.clear();
    m_newName.clear();
    renameInDetails(m_renamedKind, newName, formerName);
}

void Tfrm_cats::btn_cat_delClick()
{
    // An empty list has no current category: nothing to ask about.
    if (m_cats->currentRow() < 0)
        return;
    m_window->setSaved(false);
    const QString name = m_cats->asString("cat");
    const QString kind = m_cats->asString("catid");
    const QChar cr(13);
    const QString question =
        kind == Kind::Income
            ? QStringLiteral("This action will delete all Income Items associated with the category :") + cr + name
                  + cr + QStringLiteral("Do you wish to continue?")
            : QStringLiteral("This action will delete all Expense Items associated with the category -") + cr
                  + QLatin1Char('"') + name + QLatin1Char('"') + cr + QStringLiteral("Do you wish to continue?");
    if (MessageBox::warningYesNo(this, question) != MessageBox::Answer::Yes)
        return;

    // Every reminder and item of the category goes, whatever the filters and
    // the reminders' link show at the moment; both stay as they are.
    Plan &plan = m_window->plan();
    Table &reminders = plan.reminders();
    const int remKind = reminders.fieldIndex("cat_id");
    const int remCat = reminders.fieldIndex("cat");
    reminders.removeRowsWhere([&](const Table::RowView &r) {
        return r.toString(remKind) == kind && r.toString(remCat) == name;
    });
    Table &items = plan.items();
    const int itemKind = items.fieldIndex("catid");
    const int itemCat = items.fieldIndex("cat");
    items.removeRowsWhere([&](const Table::RowView &r) {
        return r.toString(itemKind) == kind && r.toString(itemCat) == name;
    });
    m_cats->remove();
}

void Tfrm_cats::update_item_cat_names(const QString &formerName, const QString &newName)
{
    renameInDetails(kindLetter(), formerName, newName);
}

void Tfrm_cats::renameInDetails(const QString &kind, const QString &formerName, const QString &newName)
{
    if (formerName == newName)
        return;
    Plan &plan = m_window->plan();
    int changed = 0;
    {
        Table &reminders = plan.reminders();
        ShownRowsGuard keep(reminders);
        reminders.setLinkActive(false);
        reminders.setFilter(reminderCategoryFilter(kind, formerName));
        reminders.setFiltered(true);
        changed += moveVisibleRowsTo(reminders, newName);
    }
    Table &items = plan.items();
    {
        ShownRowsGuard keep(items);
        items.setFilter(categoryFilter(kind, formerName));
        items.setFiltered(true);
        changed += moveVisibleRowsTo(items, newName);
    }
    // The items page narrowed on the renamed category goes on showing it.
    if (items.filter() == categoryFilter(kind, formerName))
        items.setFilter(categoryFilter(kind, newName));
    if (changed > 0)
        m_window->setSaved(false);
}

void Tfrm_cats::done(int result)
{
    m_cats->cancel();
    m_cats->setFilter(m_rememberedFilter);
    m_cats->setFiltered(m_rememberedFiltered);
    m_window->rebuildCategoryTrees();
    QDialog::done(result);
}

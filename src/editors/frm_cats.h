#pragma once
#include <QDialog>
#include <QString>

class PlanDocument;
class Table;
class TableModel;
class RadioGroup;
class QLineEdit;
class QPushButton;
class QTableView;

// Category administration: adds, renames and deletes the categories of one
// kind (income or expense) of the plan window's plan, and undoes the last
// rename. Every change goes straight into the plan's tables, each one step of
// the plan window's undo history. While open, the
// categories table is filtered on the kind shown; closing the dialog, however
// it is closed, puts the filter found at creation back and rebuilds the
// window's category trees.
class Tfrm_cats : public QDialog
{
    Q_OBJECT
public:
    // Without a parent the dialog belongs to the plan window.
    explicit Tfrm_cats(PlanDocument *window, QWidget *parent = nullptr);

    // Renames the category of the kind selected in rgcat and carries the new
    // name into its items and reminders, as one step of the plan's undo
    // history; the tables' filters and the reminders' link to the items are
    // left as they were found (the items page narrowed on the category
    // follows it). A name the kind already has is reported; false then.
    bool update_item_cat_names(const QString &formerName, const QString &newName);

    // Close, Escape and the window's close request all end here.
    void done(int result) override;

private:
    void buildLayout();
    QString kindLetter() const;
    void showKind(const QString &letter);

    void rgcatClick();
    void btn_cat_addClick();
    void btn_cat_editClick();
    void btn_cat_undoClick();
    void btn_cat_delClick();

    void showCategory(const QString &name);
    void reportDuplicate(const QString &engineMessage);

    PlanDocument *m_window;
    Table *m_cats;
    TableModel *m_model = nullptr;
    QString m_rememberedFilter;
    bool m_rememberedFiltered = false;

    // The last successful rename, for Undo; empty names mean none.
    QString m_formerName;
    QString m_newName;
    QString m_renamedKind;

    QTableView *m_grid = nullptr;
    QLineEdit *m_name = nullptr;
    RadioGroup *m_rgcat = nullptr;
};

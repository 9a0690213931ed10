#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>

class PlanDocument;
class Table;
class TableModel;
class CurrencyBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTableView;

// The item editor ("Items Dialog"): creates a new income or expense item, or
// changes the plan window's current item and carries a new description or
// category into the item's reminders. Its description box offers the
// suggested-items list of the kind ("incitems.txt" or "expitems.txt", in the
// program's own folder), and a description not yet in the list joins it on OK.
//
// The plan window filters its categories table on the item's kind before it
// opens the editor; the grid shows that table and its current row is the
// item's category. The editor fills its fields each time it becomes the
// active window: when it opens, and again after a box it showed hands the
// activation back (but not when the user comes back from another program).
//
// The dialog does not delete itself: create a fresh one for each command, on
// the stack, and show it through ModalRunner.
class Tfrm_items : public QDialog
{
    Q_OBJECT
public:
    // `kind` is "income" or "expense", `mode` "new" or "edit"; `kindLetter`
    // ("I" or "E") is the new row's catid in mode "new" (taken from the kind
    // when empty).
    Tfrm_items(PlanDocument *window, const QString &kind, const QString &mode, const QString &kindLetter,
               QWidget *parent = nullptr);

    QString kind() const { return m_kind; }
    QString mode() const { return m_mode; }

    // "incitems.txt" for "income", "expitems.txt" for "expense", else empty.
    static QString listFileName(const QString &kind);
    // The list file of this editor's kind in the program's own folder; empty
    // for a kind without one.
    QString listFilePath() const;

    static constexpr int kMaxTypedDescription = 40;
    static constexpr int kMaxTypedNotes = 600;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void FormCreate();
    void centreOnDesktop();
    void FormActivate();
    void loadSuggestedItems();
    void showCategory();
    void locateCategory(const QString &category);
    void selectFrequency(const QString &name);
    void clbfrequencyClickCheck(QListWidgetItem *item);
    void clbfrequencyClick(int row);
    void setOnlyCheck(int row, bool checked);
    void setNotes(const QString &notes);
    void limitNotes();
    QString notesText() const;
    void setSuggested(const QStringList &entries);
    bool isKnownDescription(const QString &text) const;
    QString chosenFrequency() const;

    void LMDSB_OKClick();
    bool addNewItem(const QString &description);
    bool storeEditedItem(const QString &description);
    bool addToSuggestedItems(const QString &description);

    PlanDocument *m_window;
    Table *m_items;
    Table *m_categories;
    QString m_kind;
    QString m_mode;
    QString m_kindLetter;

    // The item as the last activation found it (mode "edit").
    QString m_formerItem;
    QString m_formerCat;
    QString m_formerFreq;
    QString m_formerNotes;

    QStringList m_suggested; // the drop-down's entries, sorted without regard to case
    int m_notesLimit = kMaxTypedNotes;
    bool m_settingChecks = false;
    bool m_swallowRelease = false;
    bool m_leftApplication = false;

    QLabel *m_Label1 = nullptr;
    QLabel *m_Label2 = nullptr;
    QLabel *m_Label3 = nullptr;
    QLabel *m_Label4 = nullptr;
    QLabel *m_Label5 = nullptr;
    QComboBox *m_ebitem = nullptr;
    CurrencyBox *m_ceamt = nullptr;
    QListWidget *m_clbfrequency = nullptr;
    QLineEdit *m_DBEdit_cat = nullptr;
    QTableView *m_DBC = nullptr;
    TableModel *m_catModel = nullptr;
    QPlainTextEdit *m_mem_edit = nullptr;
    QPushButton *m_LMDSB_OK = nullptr;
    QPushButton *m_LMDSB_CANCEL = nullptr;
};

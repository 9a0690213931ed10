#include "frm_items.h"

#include "plan/Frequency.h"
#include "plan/PageKind.h"
#include "plan/PlanEdits.h"
#include "plan/ListFile.h"
#include "plan/Plan.h"
#include "plan/PlanFileError.h"
#include "widgets/PlanDocument.h"
#include "widgets/Controls.h"
#include "widgets/CurrencyBox.h"
#include "widgets/Format.h"
#include "widgets/MessageBox.h"
#include "widgets/TableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableView>
#include <QTextCursor>
#include <QValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

const QString &kIncome = PageKind::Income;
const QString &kExpense = PageKind::Expense;
const QString kEdit = QStringLiteral("edit");
const QString kFortnightly = QStringLiteral("Fortnightly");
const QString kDuplicateSuffix = QStringLiteral(" : Item and Category Already Exists");

// At most `max` characters can be typed into the description box, while a
// longer text the program puts there (a stored item, a list entry) stays
// whole and can still be shortened.
class TypedLengthValidator : public QValidator
{
public:
    TypedLengthValidator(QLineEdit *edit, int max, std::function<bool(const QString &)> known)
        : QValidator(edit), m_max(max), m_known(std::move(known))
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { m_previous = text; });
    }

    State validate(QString &input, int &) const override
    {
        if (input.size() <= m_max || input.size() <= m_previous.size() || m_known(input))
            return Acceptable;
        return Invalid;
    }

private:
    int m_max;
    std::function<bool(const QString &)> m_known;
    QString m_previous;
};

void sortWithoutCase(QStringList &entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

QString plainLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

Tfrm_items::Tfrm_items(PlanDocument *window, const QString &kind, const QString &mode, const QString &kindLetter,
                       QWidget *parent)
    : QDialog(parent), m_window(window), m_items(&window->plan().items()), m_categories(&window->plan().categories()),
      m_kind(kind), m_mode(mode), m_kindLetter(kindLetter)
{
    if (m_kindLetter.isEmpty())
        m_kindLetter = m_kind == kExpense ? Kind::Expense : Kind::Income;
    setObjectName(QStringLiteral("frm_items"));
    setWindowTitle(QStringLiteral("Items Dialog"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPointSize(8);
    setFont(font);
    setFixedSize(338, 284);
    buildLayout();
    FormCreate();
    centreOnDesktop();
}

QString Tfrm_items::listFileName(const QString &kind)
{
    if (kind == kIncome)
        return QStringLiteral("incitems.txt");
    if (kind == kExpense)
        return QStringLiteral("expitems.txt");
    return QString();
}

QString Tfrm_items::listFilePath() const
{
    const QString name = listFileName(m_kind);
    return name.isEmpty() ? QString() : QDir(m_window->programFolder()).filePath(name);
}

void Tfrm_items::buildLayout()
{
    m_Label1 = Controls::label(QStringLiteral("Label1"), QStringLiteral("Item Description :"), this);
    m_Label2 = Controls::label(QStringLiteral("Label2"), QStringLiteral("Frequency :"), this);
    m_Label3 = Controls::label(QStringLiteral("Label3"), QStringLiteral("Amount :"), this);
    m_Label4 = Controls::label(QStringLiteral("Label4"), QStringLiteral("$"), this);
    m_Label5 = Controls::label(QStringLiteral("Label5"), QStringLiteral("Notes :"), this);

    m_ebitem = new QComboBox(this);
    m_ebitem->setObjectName(QStringLiteral("ebitem"));
    m_ebitem->setEditable(true);
    m_ebitem->setInsertPolicy(QComboBox::NoInsert);
    m_ebitem->setMaxVisibleItems(12);
    // Completion keeps the letter case as typed: "rent" stays "rent" when the
    // list holds "Rent".
    m_ebitem->completer()->setCaseSensitivity(Qt::CaseSensitive);
    m_ebitem->setValidator(new TypedLengthValidator(m_ebitem->lineEdit(), kMaxTypedDescription,
                                                    [this](const QString &t) { return isKnownDescription(t); }));

    m_ceamt = new CurrencyBox(QStringLiteral("ceamt"), this);
    m_ceamt->setShowSymbol(false); // Label4 shows the symbol beside it

    m_clbfrequency = new QListWidget(this);
    m_clbfrequency->setObjectName(QStringLiteral("clbfrequency"));
    m_clbfrequency->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const QString &name : Frequency::names()) {
        auto *row = new QListWidgetItem(name, m_clbfrequency);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    m_clbfrequency->viewport()->installEventFilter(this);
    // Room for all six rows without scrolling.
    m_clbfrequency->setMinimumHeight(m_clbfrequency->sizeHintForRow(0) * m_clbfrequency->count()
                                     + 2 * m_clbfrequency->frameWidth() + 2);

    m_DBEdit_cat = new QLineEdit(this);
    m_DBEdit_cat->setObjectName(QStringLiteral("DBEdit_cat"));
    m_DBEdit_cat->setReadOnly(true);

    m_DBC = Controls::dataGrid(QStringLiteral("DBC"), this);
    m_DBC->horizontalHeader()->setStretchLastSection(true);
    m_catModel = new TableModel(m_categories, {{QStringLiteral("cat"), QStringLiteral("Category"), {}}}, this);
    m_catModel->bindView(m_DBC);

    m_mem_edit = new QPlainTextEdit(this);
    m_mem_edit->setObjectName(QStringLiteral("mem_edit"));
    m_mem_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_mem_edit->setTabChangesFocus(true);

    m_LMDSB_OK = new QPushButton(QStringLiteral("OK"), this);
    m_LMDSB_OK->setObjectName(QStringLiteral("LMDSB_OK"));
    m_LMDSB_CANCEL = new QPushButton(QStringLiteral("Cancel"), this);
    m_LMDSB_CANCEL->setObjectName(QStringLiteral("LMDSB_CANCEL"));
    // Enter presses OK only from the boxes that say so, never by default.
    for (QPushButton *b : {m_LMDSB_OK, m_LMDSB_CANCEL}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setFixedWidth(75);
    }

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    // Each caption names its field to a screen reader; the category fields
    // have none and are named for themselves.
    m_Label1->setBuddy(m_ebitem);
    m_ebitem->lineEdit()->setAccessibleName(QStringLiteral("Item Description"));
    m_Label2->setBuddy(m_clbfrequency);
    m_clbfrequency->setAccessibleName(QStringLiteral("Frequency"));
    m_Label3->setBuddy(m_ceamt);
    m_Label5->setBuddy(m_mem_edit);
    m_DBEdit_cat->setAccessibleName(QStringLiteral("Category"));
    m_DBC->setAccessibleName(QStringLiteral("Categories"));
    grid->addWidget(m_Label1, 0, 0);
    grid->addWidget(m_Label3, 0, 1, 1, 2);
    grid->addWidget(m_ebitem, 1, 0);
    auto *amount = new QHBoxLayout;
    amount->setSpacing(2);
    amount->addWidget(m_Label4);
    amount->addWidget(m_ceamt, 1);
    grid->addLayout(amount, 1, 1, 1, 2);
    grid->addWidget(m_Label2, 2, 0);
    grid->addWidget(m_DBEdit_cat, 2, 1, 2, 2, Qt::AlignBottom);
    grid->addWidget(m_clbfrequency, 3, 0, 2, 1);
    grid->addWidget(m_DBC, 4, 1, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(4, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_LMDSB_OK);
    buttons->addWidget(m_LMDSB_CANCEL);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(2);
    layout->addLayout(grid);
    layout->addWidget(m_Label5);
    layout->addWidget(m_mem_edit, 1);
    layout->addSpacing(2);
    layout->addLayout(buttons);

    setTabOrder(m_ebitem, m_ceamt);
    setTabOrder(m_ceamt, m_clbfrequency);
    setTabOrder(m_clbfrequency, m_DBC);
    setTabOrder(m_DBC, m_mem_edit);
    setTabOrder(m_mem_edit, m_DBEdit_cat);
    setTabOrder(m_DBEdit_cat, m_LMDSB_OK);
    setTabOrder(m_LMDSB_OK, m_LMDSB_CANCEL);

    connect(m_clbfrequency, &QListWidget::itemChanged, this, &Tfrm_items::clbfrequencyClickCheck);
    connect(m_clbfrequency, &QListWidget::currentRowChanged, this, &Tfrm_items::clbfrequencyClick);
    connect(m_categories, &Table::currentRowChanged, this, &Tfrm_items::showCategory);
    connect(m_categories, &Table::visibleRowsReset, this, &Tfrm_items::showCategory);
    connect(m_categories, &Table::rowChanged, this, &Tfrm_items::showCategory);
    connect(m_mem_edit, &QPlainTextEdit::textChanged, this, &Tfrm_items::limitNotes);
    connect(m_LMDSB_OK, &QPushButton::clicked, this, &Tfrm_items::LMDSB_OKClick);
    connect(m_LMDSB_CANCEL, &QPushButton::clicked, this, &QDialog::reject);
}

// Once, when the window is created.
void Tfrm_items::FormCreate()
{
    m_Label4->setText(Format::currencySymbol());
    m_ebitem->setCurrentIndex(-1);
    m_ebitem->clearEditText();

    // Hints follow the on-screen hints setting as it is now.
    if (m_window->hintsEnabled()) {
        m_ebitem->setToolTip(QStringLiteral("\"A Description Of The Income Or Expense Item\""));
        m_ceamt->setToolTip(QStringLiteral("\"Amount Paid Per Frequency\"\""));
        m_clbfrequency->setToolTip(QStringLiteral("\"The Payment Frequency\""));
    }
    showCategory();
}

void Tfrm_items::centreOnDesktop()
{
    QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->availableGeometry();
    move(desktop.center() - QPoint(width() / 2, height() / 2));
}

// The fields are filled when the dialog opens even where the window system
// is slow to activate it, or does not.
void Tfrm_items::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

bool Tfrm_items::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        // Coming back from another program is not an activation within the
        // program: the fields keep what the user typed.
        if (!m_leftApplication)
            FormActivate();
        m_leftApplication = false;
        break;
    case QEvent::WindowDeactivate: m_leftApplication = QApplication::activeWindow() == nullptr; break;
    default: break;
    }
    return QDialog::event(event);
}

// Each time the dialog becomes the active window: when it opens and after a
// box it showed.
void Tfrm_items::FormActivate()
{
    loadSuggestedItems();
    showCategory();
    if (m_mode == kEdit) {
        m_formerItem = m_items->asString(QStringLiteral("item"));
        m_formerCat = m_items->asString(QStringLiteral("cat"));
        m_formerFreq = m_items->asString(QStringLiteral("freq"));
        m_formerNotes = m_items->asString(QStringLiteral("notes"));
        m_ebitem->setEditText(m_formerItem);
        m_ceamt->setValue(m_items->asMoney(QStringLiteral("amount")));
        selectFrequency(m_formerFreq);
        setNotes(m_formerNotes);
        locateCategory(m_formerCat);
    } else {
        if (m_categories->state() == Table::State::Browse)
            m_categories->first();
        selectFrequency(kFortnightly);
    }
    m_ebitem->setFocus();
}

// The drop-down takes the lines of the kind's list file when there is one.
void Tfrm_items::loadSuggestedItems()
{
    const std::optional<QStringList> lines = ListFile::load(listFilePath());
    if (!lines)
        return;
    QStringList entries = *lines;
    sortWithoutCase(entries);
    if (entries != m_suggested)
        setSuggested(entries);
}

void Tfrm_items::setSuggested(const QStringList &entries)
{
    m_suggested = entries;
    const QString text = m_ebitem->currentText();
    m_ebitem->clear();
    m_ebitem->addItems(m_suggested);
    m_ebitem->setCurrentIndex(-1);
    m_ebitem->setEditText(text);
}

bool Tfrm_items::isKnownDescription(const QString &text) const
{
    return text == m_formerItem || m_suggested.contains(text);
}

void Tfrm_items::showCategory()
{
    m_DBEdit_cat->setText(m_categories->asString(QStringLiteral("cat")));
}

// The category row of that name, or the nearest one after it in the table's
// order (the last row when every name comes before it).
void Tfrm_items::locateCategory(const QString &category)
{
    if (m_categories->state() != Table::State::Browse || m_categories->isEmpty())
        return;
    Table::Row probe(m_categories->fields().size(), QString());
    probe[m_categories->fieldIndex(QStringLiteral("cat"))] = category;
    int target = m_categories->rowCount() - 1;
    for (int r = 0; r < m_categories->rowCount(); ++r) {
        if (m_categories->compareRows(m_categories->visibleRow(r), probe) >= 0) {
            target = r;
            break;
        }
    }
    m_categories->goTo(target);
}

// --- frequency list: one check mark, on the selected row ---------------------

void Tfrm_items::selectFrequency(const QString &name)
{
    int row = -1;
    for (int r = 0; r < m_clbfrequency->count(); ++r)
        if (m_clbfrequency->item(r)->text() == name)
            row = r;
    m_clbfrequency->setCurrentRow(row);
    setOnlyCheck(row, true);
}

void Tfrm_items::setOnlyCheck(int row, bool checked)
{
    m_settingChecks = true;
    for (int r = 0; r < m_clbfrequency->count(); ++r)
        m_clbfrequency->item(r)->setCheckState(r == row && checked ? Qt::Checked : Qt::Unchecked);
    m_settingChecks = false;
}

// The user toggled a check box: that row keeps what the toggle gave it.
void Tfrm_items::clbfrequencyClickCheck(QListWidgetItem *item)
{
    if (m_settingChecks)
        return;
    setOnlyCheck(m_clbfrequency->row(item), item->checkState() == Qt::Checked);
}

// The selection moved: the selected row carries the check mark.
void Tfrm_items::clbfrequencyClick(int row)
{
    setOnlyCheck(row, true);
}

QString Tfrm_items::chosenFrequency() const
{
    if (QListWidgetItem *row = m_clbfrequency->currentItem())
        return row->text();
    // No row selected: an edited item whose stored frequency is none of the
    // list's keeps it; a new item takes the default.
    return m_mode == kEdit ? m_formerFreq : kFortnightly;
}

// --- notes -------------------------------------------------------------------

void Tfrm_items::setNotes(const QString &notes)
{
    const QString shown = plainLines(notes);
    m_notesLimit = std::max<int>(kMaxTypedNotes, static_cast<int>(shown.size()));
    if (m_mem_edit->toPlainText() != shown)
        m_mem_edit->setPlainText(shown);
}

// At most 600 characters can be typed; a longer stored note stays whole.
void Tfrm_items::limitNotes()
{
    const int size = static_cast<int>(m_mem_edit->toPlainText().size());
    if (size > m_notesLimit) {
        QTextCursor cursor = m_mem_edit->textCursor();
        cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor, size - m_notesLimit);
        cursor.removeSelectedText();
        m_mem_edit->setTextCursor(cursor);
        return; // the removal runs this again
    }
    m_notesLimit = std::max(kMaxTypedNotes, size);
}

// Notes are stored with CR LF between lines; notes left as they were keep
// their stored text exactly.
QString Tfrm_items::notesText() const
{
    const QString shown = m_mem_edit->toPlainText();
    if (m_mode == kEdit && shown == plainLines(m_formerNotes))
        return m_formerNotes;
    QString stored = shown;
    stored.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return stored;
}

// --- keys ----------------------------------------------------------------------

// Enter in the description, amount or frequency list presses OK. The boxes see
// the key first (the amount box takes its typed value), then pass it on.
void Tfrm_items::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        QWidget *focus = focusWidget();
        if (focus == m_ebitem || focus == m_ebitem->lineEdit() || focus == m_ceamt || focus == m_clbfrequency) {
            m_LMDSB_OK->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

// A click on a row of the frequency list that is not the selected one selects
// and checks it, check box or not; only the selected row's check box toggles.
bool Tfrm_items::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_clbfrequency->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const int row = m_clbfrequency->indexAt(mouse->position().toPoint()).row();
            if (row >= 0 && row != m_clbfrequency->currentRow()) {
                m_clbfrequency->setFocus(Qt::MouseFocusReason);
                m_clbfrequency->setCurrentRow(row);
                m_swallowRelease = true;
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease && m_swallowRelease) {
            m_swallowRelease = false;
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// --- OK ----------------------------------------------------------------------

void Tfrm_items::LMDSB_OKClick()
{
    const QString typed = m_ebitem->currentText();
    // A description of blanks only is no description either.
    if (typed.trimmed().isEmpty()) {
        MessageBox::error(this, QStringLiteral("Please enter an item description"));
        Controls::focusToCorrect(m_ebitem);
        return;
    }
    m_window->setSaved(false);
    const bool stored = m_mode == kEdit ? storeEditedItem(typed) : addNewItem(typed);
    if (!stored || !addToSuggestedItems(typed))
        return;
    accept();
}

// A new item, exactly as typed. A refused duplicate is reported and the dialog
// still closes.
bool Tfrm_items::addNewItem(const QString &description)
{
    PlanEdits::PlanEdit added = PlanEdits::addItem(m_window->plan(),
                                                   {{QStringLiteral("item"), description},
                                                    {QStringLiteral("freq"), chosenFrequency()},
                                                    {QStringLiteral("amount"), m_ceamt->value()},
                                                    {QStringLiteral("cat"), m_DBEdit_cat->text()},
                                                    {QStringLiteral("catid"), m_kindLetter},
                                                    {QStringLiteral("notes"), notesText()}});
    if (!added.ok())
        MessageBox::error(this, added.error + kDuplicateSuffix);
    m_window->addToHistory(std::move(added.change));
    m_window->rebuildCategoryTrees();
    return true;
}

// The current item changed, its reminders following it. A change the table
// refuses leaves the plan as it was and the dialog open.
bool Tfrm_items::storeEditedItem(const QString &description)
{
    PlanEdits::PlanEdit changed =
        PlanEdits::changeItem(m_window->plan(),
                              {{QStringLiteral("item"), description.trimmed()},
                               {QStringLiteral("freq"), chosenFrequency().trimmed()},
                               {QStringLiteral("amount"), std::round(m_ceamt->value() * 10000.0) / 10000.0},
                               {QStringLiteral("cat"), m_DBEdit_cat->text().trimmed()},
                               {QStringLiteral("notes"), notesText()}});
    if (!changed.ok()) {
        MessageBox::error(this, changed.error + kDuplicateSuffix);
        return false;
    }
    m_window->addToHistory(std::move(changed.change));
    m_window->rebuildCategoryTrees();
    m_window->updateall();
    return true;
}

// A description the list does not hold yet, in any letter case, joins it and
// the list file is written again, sorted.
bool Tfrm_items::addToSuggestedItems(const QString &description)
{
    if (listFileName(m_kind).isEmpty())
        return true;
    const QString file = listFilePath();
    for (const QString &entry : std::as_const(m_suggested))
        if (entry.compare(description, Qt::CaseInsensitive) == 0)
            return true;
    QStringList entries = m_suggested;
    entries.append(description);
    sortWithoutCase(entries);
    try {
        ListFile::write(file, entries);
    } catch (const FileWriteError &e) {
        MessageBox::error(this, e.message());
        return false;
    }
    setSuggested(entries);
    return true;
}

#pragma once
#include <QString>

class QDateEdit;
class QLabel;
class QTableView;
class QWidget;

// The controls several windows build the same way.
namespace Controls {

// A read-only data grid: no editing, inserting or deleting in the grid, one
// row (or, with `wholeRows` false, one cell) selected at a time, the selection
// still marked while the grid has no focus, no row header. Tab and Shift+Tab
// leave the grid; the arrow keys move within it.
QTableView *dataGrid(const QString &objectName, QWidget *parent, bool wholeRows = true);

// A label with its object name; with `field` it names that field to a screen
// reader (and its mnemonic, if any, moves the focus there).
QLabel *label(const QString &objectName, const QString &text, QWidget *parent, QWidget *field = nullptr);

// A date box with a calendar, showing the program's short date format.
QDateEdit *dateBox(const QString &objectName, QWidget *parent);

// Sends the focus to a field a message asked to correct, its text selected,
// so what is typed replaces it (a box's text, a spin box's number).
void focusToCorrect(QWidget *field);

} // namespace Controls

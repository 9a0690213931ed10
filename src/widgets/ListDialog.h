#pragma once
#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableWidget;

// A dialog that lists rows of texts under column headings and asks what to do
// with the chosen ones, one button a choice (the recovery of unsaved plans,
// the backups of a plan). Each button closes it; pressed() tells which.
class ListDialog : public QDialog
{
    Q_OBJECT
public:
    ListDialog(const QString &objectName, const QString &title, const QString &intro, const QStringList &headings,
               const QList<QStringList> &rows, QWidget *parent = nullptr);

    // A button of the row at the bottom, in the order added. The default one
    // is pressed by Enter.
    QPushButton *addButton(const QString &objectName, const QString &text, bool isDefault = false);
    // Several rows may be chosen at once, and all are at the start; otherwise
    // one, the first.
    void setManyChosen(bool many);

    QTableWidget *list() const { return m_list; }
    // The object name of the button that closed the dialog; empty otherwise.
    QString pressed() const { return m_pressed; }
    // The rows chosen when it closed, in list order.
    QList<int> chosenRows() const;

private:
    QLabel *m_intro = nullptr;
    QTableWidget *m_list = nullptr;
    QWidget *m_buttons = nullptr;
    QString m_pressed;
};

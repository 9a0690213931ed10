#pragma once
#include <QDialog>

class QLineEdit;

// The "New Plan" dialog: asks for the name of a new plan. Whenever it closes,
// the edit box's text is the name chosen ("Cancel" empties it first).
class Tfrm_newplan : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_newplan(QWidget *parent = nullptr);
    QString planName() const;

    // Escape and "Cancel" leave no name: nothing is created.
    void reject() override;

private:
    QLineEdit *m_name;
};

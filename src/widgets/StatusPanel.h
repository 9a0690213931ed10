#pragma once
#include <QLabel>

// A panel of a status bar holding "Caption: amount". When the panel is too
// narrow for the whole text it shows the amount alone, so a tiled window still
// tells the figures; text() is always the whole text.
class StatusPanel : public QLabel
{
    Q_OBJECT
public:
    explicit StatusPanel(QWidget *parent = nullptr);

    // What the panel shows in its present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

#pragma once

#include "app/platform/twips.h"

#include <QColor>
#include <QPushButton>

// A command button of the graphical style: it paints its BackColor exactly,
// inside a plain raised bevel, whatever the widget style would draw.
class CommandButton : public Twips<QPushButton> {
    Q_OBJECT

public:
    explicit CommandButton(QWidget *parent = nullptr);

    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);

    // What a new control array element takes from element 0: geometry, caption,
    // tool tip, colour, font and enabled state. Visibility is not copied.
    void copyFrom(const CommandButton &model);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_backColor;
};

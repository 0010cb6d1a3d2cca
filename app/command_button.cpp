#include "command_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

CommandButton::CommandButton(QWidget *parent) : Twips<QPushButton>(parent)
{
    // The bevel and the fill cover every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_backColor = palette().color(QPalette::Button);
}

void CommandButton::setBackColor(const QColor &color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    update();
}

void CommandButton::copyFrom(const CommandButton &model)
{
    place(model.Left(), model.Top(), model.Width(), model.Height());
    setText(model.text());
    setToolTip(model.toolTip());
    setBackColor(model.backColor());
    if (model.testAttribute(Qt::WA_SetFont))
        setFont(model.font());
    setEnabled(model.isEnabled());
    setFocusPolicy(model.focusPolicy());
}

void CommandButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool sunken = isDown();
    const QBrush fill(m_backColor);
    qDrawWinButton(&painter, rect(), palette(), sunken, &fill);

    QRect textRect = rect().adjusted(2, 2, -2, -2);
    if (sunken)
        textRect.translate(1, 1);
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
    } else {
        // Disabled captions are embossed: a light copy below right, then grey.
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(textRect.translated(1, 1), Qt::AlignCenter, text());
        painter.setPen(palette().color(QPalette::Disabled, QPalette::ButtonText));
    }
    painter.drawText(textRect, Qt::AlignCenter, text());

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        option.backgroundColor = m_backColor;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

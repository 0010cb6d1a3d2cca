#include "app/platform/command_button.h"

#include <QPainter>
#include <qdrawutil.h>

#include <cmath>

namespace {

// Relative luminance as the contrast ratios of WCAG reckon it.
double luminance(const QColor &color)
{
    const auto linear = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

// Black or white, whichever stands out more against the colour.
QColor markOn(const QColor &color)
{
    const double l = luminance(color);
    const double againstBlack = (l + 0.05) / 0.05;
    const double againstWhite = 1.05 / (l + 0.05);
    return againstBlack >= againstWhite ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace

CommandButton::CommandButton(QWidget *parent) : Twips<QPushButton>(parent)
{
    // Not marked opaque, although the bevel and the fill cover the button:
    // at a fractional scale (150 %) its edge falls inside a device pixel that
    // it paints only in part, and a window told that the button paints it
    // leaves the rest unpainted, black with some styles.
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
        // A dotted rectangle around the caption area, whatever the style
        // would draw: dark on light colours, light on dark ones (the blank).
        QPen pen(markOn(m_backColor), 0, Qt::CustomDashLine);
        pen.setDashPattern({ 1, 1 });
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

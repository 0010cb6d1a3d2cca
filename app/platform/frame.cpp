#include "app/platform/frame.h"

#include <QPainter>
#include <qdrawutil.h>

Frame::Frame(const QString &title, QWidget *parent) : Twips<QGroupBox>(title, parent) {}

void Frame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int textTop = 0;
    const int lineY = textTop + metrics.height() / 2;
    qDrawShadeRect(&painter, 0, lineY, width(), height() - lineY, palette(), true, 1);

    // The caption interrupts the top edge.
    const int textLeft = 6;
    const QRect textRect(textLeft, textTop, metrics.horizontalAdvance(title()) + 4, metrics.height());
    painter.fillRect(textRect, palette().brush(backgroundRole()));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignCenter, title());
}

#pragma once

#include <QPalette>

class QColor;
class QWidget;

// The colours of the window's controls, whatever the desktop's colour scheme
// and widget style.
namespace colours {

// The colours the window's design leaves to the platform, as it was drawn
// against them: black text, white text boxes, grey bevels, greyed captions
// on disabled controls. Qt's own light palette (what Qt shows with no
// desktop theme), every role set, the same whether the window is active or
// not. Set on the window before its controls exist, every control inherits it.
QPalette light();

// Fills the widget's background with one of the design's colours, exactly,
// whatever the widget style would draw there.
void fillBackground(QWidget *widget, const QColor &color);

} // namespace colours

#pragma once

#include <functional>

class QWidget;

// The four arrow keys.
enum class Arrow { Left, Right, Up, Down };

// Hands the arrow keys pressed on the control, with no modifier but the
// keypad's, to handler, and lets them go no further: the widget style's own
// use of them (moving the focus between buttons) never happens. Other keys
// reach the control as before. Lasts as long as the control.
void takeArrowKeys(QWidget *control, std::function<void(Arrow)> handler);

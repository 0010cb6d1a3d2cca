#pragma once

#include <QtGlobal>

namespace fonts {

// Makes the fonts that the program carries available to its windows. The
// browser gives Qt no fonts of the machine, so the web build carries the
// window's own (Liberation Serif, with the metrics of Times New Roman) and
// stands it in for Times New Roman; everywhere else the system has the
// fonts and this does nothing. Call once the application object exists and
// before any window is made.
#ifdef Q_OS_WASM
void addCarriedFonts();
#else
inline void addCarriedFonts() {}
#endif

} // namespace fonts

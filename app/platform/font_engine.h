#pragma once

namespace fonts {

// Has the platform draw text the way the window's design was drawn: on
// Windows through GDI, whatever the Qt version's default engine. Call before
// the application object exists. A platform the user names (QT_QPA_PLATFORM,
// -platform) stays as named; elsewhere this does nothing.
void useDesignEngine();

} // namespace fonts

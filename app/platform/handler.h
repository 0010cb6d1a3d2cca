#pragma once

#include "app/platform/numbers.h"

// Writes "Run-time error <code> in <handler>: <message>" where a developer
// looks: standard error, and on Windows the debug output as well.
void reportError(const char *name, const RuntimeError &error);

// Runs one of the window's event handlers. A RuntimeError raised inside it
// ends the handler, as the platform's default error report does: the error
// is reported and the window goes on. Other exceptions are not the
// platform's and are not caught.
template <class Handler>
void runHandler(const char *name, Handler &&handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        reportError(name, error);
    }
}

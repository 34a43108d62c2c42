// The long-operation window on Qt widgets: "Подождите...", a bar (moving until the step says how
// far it has come), the operation's text and "Отмена". A factory may hold it back until the work
// has gone on for a while, so that a short step does not flash a window; until then the mouse
// cursor shows that the module is busy.
#pragma once

#include "ui/long_operation.h"

#include <chrono>

class QWidget;

// How long an operation runs before its window appears (the interval of the window's pump).
inline constexpr std::chrono::milliseconds kLongOperationShowAfter{500};

// Views whose "Отмена" button goes to operations.Terminate(). A window belongs to the open
// modal dialog, else to the active window, so that its button stays usable under the wizard.
[[nodiscard]] TLongOperations::TViewFactory
QtLongOperationViewFactory(TLongOperations& operations,
                           std::chrono::milliseconds showAfter = kLongOperationShowAfter);

// Gives the module's long-operation window (LongOperations()) its Qt form, shown from the start.
void UseQtLongOperationWindow();

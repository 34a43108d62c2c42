// The test add-on's dialog command (test_addon_dialog.cpp).
#pragma once

#include "platform/com/unknown.h"

// Shows the dialog modally, owned by the host's window; E_FAIL when it cannot be built.
HRESULT RunTestDialog(IUnknown* manager);

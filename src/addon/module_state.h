// State kept once per loaded module: the add-ons constructed in it, the host's error sink, the
// add-on that new forms register with, the host windows the module's dialogs belong to, and
// the counters that tell whether the module can be unloaded.
#pragma once

#include "host_api/addon_api.h"
#include "platform/codepage.h"
#include "platform/com/object_count.h"

#include <string_view>
#include <vector>

class TQmCustomAddon;

// Every add-on constructed in this module, in construction order. Created on first use (the
// module's load), freed by FreeAddonList at unload.
const std::vector<TQmCustomAddon*>& AddonList();
void AddAddonToList(TQmCustomAddon* addon);
void RemoveAddonFromList(TQmCustomAddon* addon);
void FreeAddonList();

// At unload: releases the error sink and frees everything above.
void FreeModuleState();

// The host's error sink, set by Initialize and cleared by Finalize and at unload. Setting
// takes a reference, clearing releases it.
IQmErrorInfo* HostErrorSink();
void SetHostErrorSink(IQmErrorInfo* sink);
// Reports a failure to the host's error sink, if there is one; the message is cut to 255
// characters. Never throws.
void ReportToHost(std::string_view source, std::string_view message) noexcept;
// From a catch block: reports the exception being handled, with its message ("Неизвестная
// ошибка" for one that is not a std::exception). Never throws: when even the report cannot be
// built, nothing is reported and the caller's failure result is all the host gets.
void ReportCurrentException(std::string_view source) noexcept;

// The add-on that new TQmAddonForm instances register with.
TQmCustomAddon* CurrentAddon();
void SetCurrentAddon(TQmCustomAddon* addon);

// The host window that owns the module's dialogs (0 = none).
HWND FormOwnerWindow();
void SetFormOwnerWindow(HWND window);

// The host application window the module's modal dialogs and message boxes belong to, and the
// title they show (the host window's own title).
HWND ApplicationWindow();
const AnsiString& ApplicationTitle();
void BindApplication(HWND window, AnsiString title);
void UnbindApplication();

// Locks of the module's class factories, changed atomically; an unlock without a lock is
// ignored. Its live COM objects are counted by ComObjectCreated and ComObjectDestroyed
// (platform/com/object_count.h).
void LockModule(bool lock);
long ModuleLockCount();

#include "addon/module_state.h"

#include "addon/application_binding.h"
#include "platform/exception.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace {

// Plain pointers and atomics only: nothing here has a destructor that could run in an
// unpredictable order at unload.
std::vector<TQmCustomAddon*>* g_addons = nullptr;
IQmErrorInfo* g_errorSink = nullptr;
TQmCustomAddon* g_currentAddon = nullptr;
HWND g_formOwnerWindow = 0;
HWND g_applicationWindow = 0;
AnsiString* g_applicationTitle = nullptr;
std::atomic<long> g_lockCount{0};

std::vector<TQmCustomAddon*>& Addons() {
    if (!g_addons)
        g_addons = new std::vector<TQmCustomAddon*>;
    return *g_addons;
}

} // namespace

const std::vector<TQmCustomAddon*>& AddonList() {
    return Addons();
}

void AddAddonToList(TQmCustomAddon* addon) {
    Addons().push_back(addon);
}

void RemoveAddonFromList(TQmCustomAddon* addon) {
    if (!g_addons)
        return;
    auto it = std::find(g_addons->begin(), g_addons->end(), addon);
    if (it != g_addons->end())
        g_addons->erase(it);
}

void FreeAddonList() {
    delete g_addons;
    g_addons = nullptr;
}

IQmErrorInfo* HostErrorSink() {
    return g_errorSink;
}

void SetHostErrorSink(IQmErrorInfo* sink) {
    if (sink)
        sink->AddRef();
    if (IQmErrorInfo* old = std::exchange(g_errorSink, sink))
        old->Release();
}

void ReportToHost(std::string_view source, std::string_view message) noexcept {
    IQmErrorInfo* sink = g_errorSink;
    if (!sink)
        return;
    const TQmText sourceText = TQmText::From(source);
    const TQmText messageText = TQmText::From(message); // cut to 255 characters
    try {
        sink->ReportError(&sourceText, &messageText);
    } catch (...) {
        // A sink that throws across the boundary must not take the module down with it.
    }
}

void ReportCurrentException(std::string_view source) noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            ReportToHost(source, ExceptionMessage(e));
        } catch (...) {
            ReportToHost(source, Ansi("Неизвестная ошибка"));
        }
    } catch (...) {
        // Out of memory while building the message.
    }
}

TQmCustomAddon* CurrentAddon() {
    return g_currentAddon;
}
void SetCurrentAddon(TQmCustomAddon* addon) {
    g_currentAddon = addon;
}

HWND FormOwnerWindow() {
    return g_formOwnerWindow;
}
void SetFormOwnerWindow(HWND window) {
    g_formOwnerWindow = window;
}

HWND ApplicationWindow() {
    return g_applicationWindow;
}

const AnsiString& ApplicationTitle() {
    static const AnsiString kNone;
    return g_applicationTitle ? *g_applicationTitle : kNone;
}

void BindApplication(HWND window, AnsiString title) {
    g_applicationWindow = window;
    if (!g_applicationTitle)
        g_applicationTitle = new AnsiString;
    *g_applicationTitle = std::move(title);
}

// The title stays: it is the application's name as last seen, and message boxes shown after
// the host let go still carry it.
void UnbindApplication() {
    g_applicationWindow = 0;
}

namespace {
IApplicationBinding* g_applicationBinding = nullptr;
} // namespace

IApplicationBinding* ApplicationBinding() {
    return g_applicationBinding;
}

void SetApplicationBinding(IApplicationBinding* binding) {
    g_applicationBinding = binding;
}

void LockModule(bool lock) {
    if (lock) {
        ++g_lockCount;
        return;
    }
    // An unlock without a lock is the caller's mistake; counting it would cancel a later lock
    // and let the module be unloaded while locked.
    long count = g_lockCount.load();
    while (count > 0 && !g_lockCount.compare_exchange_weak(count, count - 1)) {
    }
}
long ModuleLockCount() {
    return g_lockCount.load();
}

void FreeModuleState() {
    SetHostErrorSink(nullptr);
    g_currentAddon = nullptr;
    g_formOwnerWindow = 0;
    g_applicationWindow = 0;
    delete g_applicationTitle;
    g_applicationTitle = nullptr;
    FreeAddonList();
}

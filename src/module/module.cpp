// The shared library the host loads: its five exports and the module's load and unload.
#include "addon/com_server.h"
#include "module/text_import_addon.h"
#if !defined(TI_NO_DIALOGS)
#include "addon/gui/qt_application_binding.h"
#include "coords/gui/coordinate_system_custom_editor.h"
#include "coords/gui/msk_editor.h"
#include "platform/gui/window.h"
#endif

namespace {

// Constructed when the library is loaded, destroyed when it is unloaded.
struct TModuleLifetime {
    TModuleLifetime() {
#if !defined(TI_NO_DIALOGS)
        InstallQtApplicationBinding();
#endif
        // The module's one add-on, owned by the module state until unload.
        LoadAddonModule([] { new TTextImportAddon; });
#if !defined(TI_NO_DIALOGS)
        RegisterStandardCoordinateSystemEditors();
#endif
    }
    ~TModuleLifetime() {
#if !defined(TI_NO_DIALOGS)
        FreeCoordinateSystemCustomEditors();
#endif
        UnloadAddonModule();
#if !defined(TI_NO_DIALOGS)
        ReleaseGuiApplication();
#endif
    }
    TModuleLifetime(const TModuleLifetime&) = delete;
    TModuleLifetime& operator=(const TModuleLifetime&) = delete;
};

TModuleLifetime g_module;

} // namespace

TI_EXPORT HRESULT STDMETHODCALLTYPE QmDllRegisterAddOn(const char* id, BOOL active) {
    return RegisterAddOns(id, active);
}

TI_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID classId, REFIID riid,
                                                      void** object) {
    return GetClassObject(classId, riid, object);
}

TI_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return CanUnloadNow();
}

TI_EXPORT HRESULT STDMETHODCALLTYPE DllRegisterServer() {
    return RegisterServer();
}

TI_EXPORT HRESULT STDMETHODCALLTYPE DllUnregisterServer() {
    return UnregisterServer();
}

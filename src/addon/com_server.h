// What the module's exported functions do, and the module's load and unload.
#pragma once

#include "host_api/addon_api.h"

// Makes the host list the module's add-ons: under HKEY_LOCAL_MACHINE, the key of each add-on's
// class id below "\Software\Tesmo\GIS\AddOns" (null or empty id) or below
// "\Software\Tesmo\GIS\AppliedAddOns\<id>", with the caption as default value and "Active".
// S_OK, or E_FAIL on any failure (what was written before it stays).
HRESULT RegisterAddOns(const char* id, BOOL active);
// The class keys under HKEY_CLASSES_ROOT: "CLSID\{id}" with the description and its
// "InprocServer32" with the module file. S_OK or E_FAIL.
HRESULT RegisterServer();
HRESULT UnregisterServer();
// The factory's interface for a class id of this module; CLASS_E_CLASSNOTAVAILABLE and a null
// pointer for any other.
HRESULT GetClassObject(REFCLSID classId, REFIID riid, void** object);
// S_FALSE while a COM object of the module is alive or a factory is locked, else S_OK.
HRESULT CanUnloadNow();

// Module load: the add-on list, then `createAddons` constructs the module's add-ons, each of
// which joins the list with its factory; the module state owns them from then on.
void LoadAddonModule(void (*createAddons)());
// Module unload: the add-ons (each unlinking from its factory and freeing its forms), the
// add-on list, the factories' registrations, the host error sink.
void UnloadAddonModule();

// The module's add-on class as a host reaches it: through DllGetClassObject of the loaded
// TextImport.so, then its class factory.
#pragma once

#include "host_api/addon_api.h"
#include "platform/com/unknown.h"

#include <gtest/gtest.h>

inline constexpr CLSID kAddonClassId = MakeGuid("{27DACE42-8427-11D2-AF21-0020AFDED75D}");
inline const char* const kModuleFile = TI_BIN_DIR "/TextImport.so";

// The add-on's class factory; null, and a test failure, when the module does not hand it out.
inline TComPtr<IClassFactory> AddonFactory(DllGetClassObjectFn getClassObject) {
    TComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject(kAddonClassId, IID_IClassFactory, factory.PutVoid()), S_OK);
    return factory;
}

// A new add-on object from the factory; null, and a test failure, when it cannot be made.
inline TComPtr<IQmAddOn> CreateAddon(DllGetClassObjectFn getClassObject) {
    TComPtr<IQmAddOn> addon;
    if (auto factory = AddonFactory(getClassObject)) {
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IQmAddOn, addon.PutVoid()), S_OK);
    }
    return addon;
}

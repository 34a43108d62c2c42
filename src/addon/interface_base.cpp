#include "addon/interface_base.h"

#include "addon/module_state.h"

// Every such object is a live COM object of the module: the module must not unload under it.
TInterface::TInterface() {
    ComObjectCreated();
}
TInterface::~TInterface() {
    ComObjectDestroyed();
}

ULONG TInterface::OwnAddRef() {
    return static_cast<ULONG>(++m_refCount);
}

ULONG TInterface::OwnRelease() {
    const LONG count = --m_refCount;
    if (count < 1)
        delete this;
    return static_cast<ULONG>(count < 0 ? 0 : count);
}

ULONG TAggregatedInterface::ControlledAddRef() {
    return m_controller ? m_controller->AddRef() : OwnAddRef();
}

ULONG TAggregatedInterface::ControlledRelease() {
    return m_controller ? m_controller->Release() : OwnRelease();
}

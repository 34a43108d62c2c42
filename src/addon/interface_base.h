// Reference counting for the module's own COM objects that are not created by a class
// factory: either delegated to a controlling object given at construction, or their own.
#pragma once

#include "platform/com/unknown.h"

#include <atomic>

// Base of the module's reference-counted objects: its own count, starting at zero; the object
// destroys itself when the count falls below 1.
class TInterface {
public:
    TInterface();
    virtual ~TInterface();
    TInterface(const TInterface&) = delete;
    TInterface& operator=(const TInterface&) = delete;

protected:
    ULONG OwnAddRef();
    ULONG OwnRelease();

private:
    std::atomic<LONG> m_refCount{0};
};

// An object that may live inside another one: with a controller, AddRef and Release go to the
// controller (which the object never holds a reference to), and so must the object's
// QueryInterface; without one, the object counts its own references and answers itself.
class TAggregatedInterface : public TInterface {
public:
    explicit TAggregatedInterface(IUnknown* controller = nullptr) : m_controller(controller) {}
    IUnknown* Controller() const { return m_controller; }

protected:
    ULONG ControlledAddRef();
    ULONG ControlledRelease();

private:
    IUnknown* m_controller;
};

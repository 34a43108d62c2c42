// IUnknown and IClassFactory with COM-compatible vtables, and a smart pointer for references.
#pragma once

#include "guid.h"

#include <utility>

#if defined(_WIN32)
// The system declares IUnknown, IClassFactory and their identifiers (unknwn.h, libuuid).
#else
// Exactly the three virtual functions of IUnknown and no virtual destructor, so that the
// vtable matches COM on both the Itanium and the Microsoft C++ ABIs. Objects are destroyed
// by their own Release.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                                     void** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

inline constexpr IID IID_IUnknown = MakeGuid("{00000000-0000-0000-C000-000000000046}");
inline constexpr IID IID_IClassFactory = MakeGuid("{00000001-0000-0000-C000-000000000046}");
#endif

// Interface identifier of an interface type, declared next to each interface.
template <class T> struct InterfaceId;
template <> struct InterfaceId<IUnknown> { static constexpr const IID& value = IID_IUnknown; };
template <> struct InterfaceId<IClassFactory> {
    static constexpr const IID& value = IID_IClassFactory;
};
#define TI_DECLARE_IID(Interface, text)                                                            \
    inline constexpr IID IID_##Interface = MakeGuid(text);                                         \
    template <> struct InterfaceId<Interface> {                                                    \
        static constexpr const IID& value = IID_##Interface;                                       \
    }
// An interface the system declares with its identifier (Windows only).
#define TI_SYSTEM_IID(Interface)                                                                   \
    template <> struct InterfaceId<Interface> {                                                    \
        static constexpr const IID& value = IID_##Interface;                                       \
    }

// Holds one reference to an interface; releases it when it goes.
template <class T> class TComPtr {
public:
    TComPtr() = default;
    TComPtr(std::nullptr_t) {}
    // Takes a new reference (AddRef).
    explicit TComPtr(T* p) : m_p(p) {
        if (m_p)
            m_p->AddRef();
    }
    TComPtr(const TComPtr& o) : TComPtr(o.m_p) {}
    TComPtr(TComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~TComPtr() { Reset(); }
    TComPtr& operator=(TComPtr o) noexcept {
        std::swap(m_p, o.m_p);
        return *this;
    }

    // Adopts a reference the caller already owns (no AddRef).
    static TComPtr Attach(T* p) {
        TComPtr r;
        r.m_p = p;
        return r;
    }
    T* Detach() { return std::exchange(m_p, nullptr); }
    void Reset() {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    // Out-parameter slot for a call that returns a new reference; releases what was held.
    T** Put() {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // QueryInterface for U; empty when the object does not support it.
    template <class U> TComPtr<U> As() const {
        TComPtr<U> r;
        if (m_p)
            m_p->QueryInterface(InterfaceId<U>::value, r.PutVoid());
        return r;
    }

private:
    T* m_p = nullptr;
};

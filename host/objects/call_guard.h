// The boundary of every host method: fault injection first, then the body; a failure becomes
// a negative HRESULT with its message in the error sink (add-on API) or in the thread's error
// information (automation API). No exception leaves a host method.
#pragma once

#include "host_context.h"
#include "platform/com/errorinfo.h"

namespace kavrohost {

template <class F> HRESULT QmGuard(THostContext& ctx, const char* operation, F&& body) noexcept {
    try {
        ctx.Faults().Check(operation);
        return body();
    } catch (const EHostFailure& e) {
        ctx.Faults().NoteFailure();
        ctx.SetLastError(Utf8ToAnsi(operation), Utf8ToAnsi(e.what()));
        return e.Code();
    } catch (const std::exception& e) {
        ctx.Faults().NoteFailure();
        ctx.SetLastError(Utf8ToAnsi(operation), Utf8ToAnsi(e.what()));
        return E_FAIL;
    } catch (...) {
        ctx.Faults().NoteFailure();
        return E_UNEXPECTED;
    }
}

template <class F> HRESULT KavroGuard(THostContext& ctx, const char* operation, F&& body) noexcept {
    try {
        ctx.Faults().Check(operation);
        return body();
    } catch (const EHostFailure& e) {
        ctx.Faults().NoteFailure();
        return SetErrorText(e.Code(), Utf8ToWide(operation), Utf8ToWide(e.what()));
    } catch (const std::exception& e) {
        ctx.Faults().NoteFailure();
        return SetErrorText(E_FAIL, Utf8ToWide(operation), Utf8ToWide(e.what()));
    } catch (...) {
        ctx.Faults().NoteFailure();
        return E_UNEXPECTED;
    }
}

// Throws E_POINTER for a null out-parameter.
template <class T> T* Out(T* p) {
    if (!p)
        throw EHostFailure("Не задан адрес результата", E_POINTER);
    return p;
}

inline std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

inline BSTR NewBstr(const std::string& utf8) {
    std::u16string w = Utf8ToWide(utf8);
    return SysAllocStringLen(w.data(), static_cast<std::uint32_t>(w.size()));
}
inline std::string FromBstr(BSTR text) {
    return WideToUtf8(BstrView(text));
}

} // namespace kavrohost

// Failures of host calls as exceptions on the module's side.
#pragma once

#include "platform/com/errorinfo.h"
#include "platform/exception.h"

// A failing add-on API call: the message is the host's, read from its error sink, in the form
// "message. [source]" (empty when the sink has nothing).
class EHResultError : public EUserError {
public:
    EHResultError(HRESULT code, AnsiString message)
        : EUserError(std::move(message)), m_code(code) {}
    HRESULT Code() const { return m_code; }

private:
    HRESULT m_code;
};

// A failing automation call: the message is the description the host left in the thread's
// error information.
class EOleException : public EUserError {
public:
    EOleException(HRESULT code, AnsiString message, AnsiString source)
        : EUserError(std::move(message)), m_code(code), m_source(std::move(source)) {}
    HRESULT Code() const { return m_code; }
    const AnsiString& Source() const { return m_source; }

private:
    HRESULT m_code;
    AnsiString m_source;
};

// Whether a failed automation call refused a value alone (a value its field cannot take, a field
// that does not exist): the codes of a type mismatch, an overflow and an unknown name. Any other
// failure concerns the database or the object.
[[nodiscard]] bool IsValueRefusal(const std::exception& error);

// Raises EOleException for a negative result of an automation call; returns the result
// otherwise (S_FALSE passes through).
HRESULT OleCheck(HRESULT hr);

// A host that reports success must also hand out the object; raises "Приложение не вернуло
// запрошенный объект" when it did not, instead of letting the module use a null pointer.
[[noreturn]] void RaiseMissingHostObject();

template <class T> T& RequireHostObject(const TComPtr<T>& object) {
    if (!object)
        RaiseMissingHostObject();
    return *object.Get();
}

// Calls a host method that hands out an interface (`call` gets the out pointer), raising the
// host's message on failure and the missing-object error on a success without an object.
template <class T, class Call> TComPtr<T> FetchHostObject(Call call) {
    TComPtr<T> result;
    OleCheck(call(result.Put()));
    RequireHostObject(result);
    return result;
}

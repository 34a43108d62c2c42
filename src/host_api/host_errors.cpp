#include "host_errors.h"

#include <cstdio>

HRESULT OleCheck(HRESULT hr) {
    if (SUCCEEDED(hr))
        return hr;
    TComPtr<IErrorInfo> info;
    AnsiString message, source;
    if (GetErrorInfo(0, info.Put()) == S_OK && info) {
        TBstr text;
        if (SUCCEEDED(info->GetDescription(text.Put())))
            message = WideToAnsi(text.View());
        if (SUCCEEDED(info->GetSource(text.Put())))
            source = WideToAnsi(text.View());
    }
    if (message.empty()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "OLE error %08X", static_cast<unsigned>(hr));
        message = buf;
    }
    throw EOleException(hr, std::move(message), std::move(source));
}

void RaiseMissingHostObject() {
    throw EUserError(Ansi("Приложение не вернуло запрошенный объект"));
}

bool IsValueRefusal(const std::exception& error) {
    const auto* ole = dynamic_cast<const EOleException*>(&error);
    if (!ole)
        return false;
    const HRESULT code = ole->Code();
    return code == DISP_E_TYPEMISMATCH || code == DISP_E_OVERFLOW || code == DISP_E_UNKNOWNNAME;
}

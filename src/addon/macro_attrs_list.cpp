#include "addon/macro_attrs_list.h"

#include "addon/module_state.h"
#include "platform/exception.h"

#include <string>

namespace {

const AnsiString& ListSource() {
    static const AnsiString source = Ansi("Список макросов");
    return source;
}

// Runs one list operation the way the host expects: S_OK, or a report and E_FAIL.
template <class F> HRESULT Guarded(F&& operation) {
    try {
        operation();
        return S_OK;
    } catch (...) {
        try {
            ReportCurrentException(ListSource());
        } catch (...) {
            // The source text could not be built: the failure result alone reaches the host.
        }
    }
    return E_FAIL;
}

void CheckPointer(const void* p) {
    if (!p)
        throw EUserError(Ansi("Неверный указатель"));
}

} // namespace

IQmMacroAttrsListImp::~IQmMacroAttrsListImp() {
    while (!m_items.empty())
        m_items.pop_back();
}

HRESULT IQmMacroAttrsListImp::QueryInterface(REFIID riid, void** object) {
    if (Controller())
        return Controller()->QueryInterface(riid, object);
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IQmMacroAttrsList) {
        *object = static_cast<IQmMacroAttrsList*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

std::size_t IQmMacroAttrsListImp::CheckIndex(std::int32_t index, std::size_t limit) const {
    if (index < 0 || static_cast<std::size_t>(index) >= limit)
        throw EUserError(Ansi("Индекс списка вне допустимых границ (") + std::to_string(index) +
                         ")");
    return static_cast<std::size_t>(index);
}

HRESULT IQmMacroAttrsListImp::Get(std::int32_t index, TQmMacroAttrs* attrs) {
    return Guarded([&] {
        CheckPointer(attrs);
        *attrs = *m_items[CheckIndex(index, m_items.size())];
    });
}

HRESULT IQmMacroAttrsListImp::Count(std::int32_t* count) {
    return Guarded([&] {
        CheckPointer(count);
        *count = static_cast<std::int32_t>(m_items.size());
    });
}

HRESULT IQmMacroAttrsListImp::Clear() {
    return Guarded([&] {
        // Last first, as the list always frees its entries.
        while (!m_items.empty())
            m_items.pop_back();
    });
}

HRESULT IQmMacroAttrsListImp::Insert(std::int32_t index, const TQmMacroAttrs* attrs) {
    return Guarded([&] {
        CheckPointer(attrs);
        auto copy = std::make_unique<TQmMacroAttrs>(*attrs);
        if (index < 0) {
            m_items.push_back(std::move(copy));
        } else {
            // Inserting at the end is allowed, one past it is not.
            const std::size_t at = CheckIndex(index, m_items.size() + 1);
            m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), std::move(copy));
        }
    });
}

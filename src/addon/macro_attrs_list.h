// The module's own list of command descriptors, handed to the host by GetMacros.
#pragma once

#include "addon/interface_base.h"
#include "host_api/addon_api.h"

#include <memory>
#include <vector>

// An ordered list of owned copies of TQmMacroAttrs. Each operation returns S_OK; a failure
// (an index out of range, a null pointer) is reported to the host's error sink with the source
// "Список макросов" and returns E_FAIL.
class IQmMacroAttrsListImp final : public TAggregatedInterface, public IQmMacroAttrsList {
public:
    explicit IQmMacroAttrsListImp(IUnknown* controller = nullptr)
        : TAggregatedInterface(controller) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ControlledAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ControlledRelease(); }

    HRESULT STDMETHODCALLTYPE Get(std::int32_t index, TQmMacroAttrs* attrs) override;
    HRESULT STDMETHODCALLTYPE Count(std::int32_t* count) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE Insert(std::int32_t index, const TQmMacroAttrs* attrs) override;

private:
    ~IQmMacroAttrsListImp() override;
    std::size_t CheckIndex(std::int32_t index, std::size_t limit) const;

    std::vector<std::unique_ptr<TQmMacroAttrs>> m_items;
};

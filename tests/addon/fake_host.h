// A small stand-in for the host's add-on manager object: it answers a configurable set of the
// add-on API interfaces, records what the module reports to its error sink, and counts its
// references so that tests can see what the module holds.
#pragma once

#include "host_api/addon_api.h"
#include "host_api/automation_api.h"

#include <algorithm>
#include <string>
#include <vector>

class TFakeHost final : public IQmErrorInfo,
                        public IQmAddOnManager,
                        public IQmGISDatabase,
                        public IQmMapProject,
                        public IQmMapObjects,
                        public IQmMapView,
                        public IQmGeometryLib,
                        public IQmPreferences {
public:
    struct TReport {
        AnsiString source;
        AnsiString message;
    };

    // Interfaces the object pretends not to have.
    std::vector<IID> missing;
    std::vector<TReport> reports;
    // What GetLastError hands out, and its result.
    AnsiString lastSource, lastMessage;
    HRESULT lastErrorResult = S_OK;
    // Add-on manager answers; calls records the order of the calls ("owner", "application").
    HWND ownerWindow = 0x1234, applicationWindow = 0x5678;
    HRESULT applicationWindowResult = S_OK;
    std::vector<std::string> calls;
    // Database stream.
    std::string streamBytes;
    HRESULT streamResult = S_OK;
    // The application automation object the manager also serves, when set.
    IKavroApplication* application = nullptr;

    IUnknown* Unknown() { return static_cast<IQmErrorInfo*>(this); }
    ULONG References() const { return m_refs; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (std::find(missing.begin(), missing.end(), riid) != missing.end())
            return E_NOINTERFACE;
        if (riid == IID_IUnknown || riid == IID_IQmErrorInfo)
            *object = static_cast<IQmErrorInfo*>(this);
        else if (riid == IID_IQmAddOnManager)
            *object = static_cast<IQmAddOnManager*>(this);
        else if (riid == IID_IQmGISDatabase)
            *object = static_cast<IQmGISDatabase*>(this);
        else if (riid == IID_IQmMapProject)
            *object = static_cast<IQmMapProject*>(this);
        else if (riid == IID_IQmMapObjects)
            *object = static_cast<IQmMapObjects*>(this);
        else if (riid == IID_IQmMapView)
            *object = static_cast<IQmMapView*>(this);
        else if (riid == IID_IQmGeometryLib)
            *object = static_cast<IQmGeometryLib*>(this);
        else if (riid == IID_IQmPreferences)
            *object = static_cast<IQmPreferences*>(this);
        else if (riid == IID_IKavroApplication && application) {
            application->AddRef();
            *object = application;
            return S_OK;
        } else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    // Lives on the test's stack: counts, never deletes.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }

    HRESULT STDMETHODCALLTYPE ReportError(const TQmText* source, const TQmText* message) override {
        reports.push_back({source->Str(), message->Str()});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(TQmText* source, TQmText* message) override {
        if (FAILED(lastErrorResult))
            return lastErrorResult;
        *source = TQmText::From(lastSource);
        *message = TQmText::From(lastMessage);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetOwnerWindow(HWND* window) override {
        calls.push_back("owner");
        *window = ownerWindow;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetApplicationWindow(HWND* window) override {
        calls.push_back("application");
        *window = applicationWindow;
        return applicationWindowResult;
    }

    HRESULT STDMETHODCALLTYPE GetMapInfo(const TQmID*, TQmMapInfo*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLayerInfo(const TQmID*, TQmLayerInfo*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetLayerIDs(const TQmID*, IQmIDsList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStyleIDs(const TQmID*, IQmIDsList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTableIDs(const TQmID*, IQmIDsList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStyle(const TQmID*, IQmStyle**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTableInfo(const TQmID*, TQmTableInfo*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ReadStream(const TQmText* name, IStream* target) override {
        streamNames.push_back(name->Str());
        if (keepStream)
            keptStream = TComPtr<IStream>(target);
        if (streamResult == S_OK && !streamBytes.empty()) {
            ULONG written = 0;
            target->Write(streamBytes.data(), static_cast<ULONG>(streamBytes.size()), &written);
        }
        return streamResult;
    }
    std::vector<AnsiString> streamNames;
    // When set, ReadStream keeps a reference to the module's stream, as a host may.
    bool keepStream = false;
    TComPtr<IStream> keptStream;

    HRESULT STDMETHODCALLTYPE GetMapIDs(IQmIDsList**) override { return E_NOTIMPL; }

private:
    ULONG m_refs = 1;
};

// The state that the host objects of one open project share: the store, the error sink, fault
// injection, the windows and the folder the host answers with.
#pragma once

#include "fault_injector.h"
#include "host/store/project_store.h"
#include "platform/codepage.h"
#include "platform/com/types.h"

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kavrohost {

// A host method that fails; the message is UTF-8.
class EHostFailure : public std::runtime_error {
public:
    explicit EHostFailure(const std::string& message,
                          HRESULT code = static_cast<HRESULT>(0x80004005u))
        : std::runtime_error(message), m_code(code) {}
    HRESULT Code() const { return m_code; }

private:
    HRESULT m_code;
};

// One report the module made to the error sink (texts as the module sent them, Windows-1251).
struct TErrorReport {
    AnsiString source;
    AnsiString message;
};

class THostContext {
public:
    explicit THostContext(std::unique_ptr<TProjectStore> store) : m_store(std::move(store)) {}

    // Throws EHostFailure once the project is closed.
    TProjectStore& Store() {
        if (!m_store)
            throw EHostFailure("Проект закрыт");
        return *m_store;
    }
    bool IsOpen() const { return m_store != nullptr; }
    // Closes the project; uncommitted map-object changes are lost.
    void Close() { m_store.reset(); }

    TFaultInjector& Faults() { return m_faults; }

    // The error sink: the last error (a host failure or a report of the module) and the list
    // of everything the module reported.
    void SetLastError(AnsiString source, AnsiString message) {
        m_lastError = {std::move(source), std::move(message)};
    }
    const TErrorReport& LastError() const { return m_lastError; }
    void AddReport(const TErrorReport& report) {
        m_reports.push_back(report);
        m_lastError = report;
    }
    const std::vector<TErrorReport>& Reports() const { return m_reports; }

    std::string folder; // UTF-8
    HWND ownerWindow = 0;
    HWND applicationWindow = 0;
    std::function<void(const std::array<double, 4>&)> onShowRect;

private:
    std::unique_ptr<TProjectStore> m_store;
    TFaultInjector m_faults;
    TErrorReport m_lastError;
    std::vector<TErrorReport> m_reports;
};

using THostContextPtr = std::shared_ptr<THostContext>;

} // namespace kavrohost

// Failures on demand for error-path tests: a named operation ("Interface.Method") fails on its
// Nth call after FailOn, or the Nth host call of any operation after FailOnAnyCall, with a given
// message; and a log of the host calls made, with the ones that failed.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kavrohost {

// One host call of the log: its operation and whether it failed (injected or not).
struct THostCall {
    std::string operation;
    bool failed = false;
};

class TFaultInjector {
public:
    // Arms the operation: calls are counted from now, the nth (1-based) fails once. Arming an
    // operation again replaces what was armed for it.
    void FailOn(std::string operation, int nthCall, std::string messageUtf8);
    // Arms every operation together: host calls of any operation are counted from now, the nth
    // (1-based) fails once. Arming again replaces what was armed this way.
    void FailOnAnyCall(int nthCall, std::string messageUtf8);
    // Starts the call log afresh; every host call from now on is appended.
    void StartCallLog();
    const std::vector<THostCall>& CallLog() const { return m_log; }

    // Throws EHostFailure with the armed message when this call is the one to fail.
    void Check(const char* operation) {
        if (m_active)
            CheckArmed(operation);
    }
    // The call that Check let through last failed in its body.
    void NoteFailure() {
        if (m_logging && !m_log.empty())
            m_log.back().failed = true;
    }

private:
    void CheckArmed(const char* operation);
    void UpdateActive() { m_active = m_logging || m_anyCall || !m_armed.empty(); }

    struct TFault {
        int nth;
        int calls;
        std::string message;
    };
    std::unordered_map<std::string, TFault> m_armed;
    std::optional<TFault> m_anyCall;
    bool m_logging = false;
    bool m_active = false;
    std::vector<THostCall> m_log;
};

} // namespace kavrohost

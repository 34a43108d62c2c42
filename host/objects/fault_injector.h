// Failures on demand for error-path tests: a named operation ("Interface.Method") fails on its
// Nth call after FailOn, with a given message.
#pragma once

#include <string>
#include <unordered_map>

namespace kavrohost {

class TFaultInjector {
public:
    // Arms the operation: calls are counted from now, the nth (1-based) fails once. Arming an
    // operation again replaces what was armed for it.
    void FailOn(std::string operation, int nthCall, std::string messageUtf8);
    // Throws EHostFailure with the armed message when this call is the one to fail.
    void Check(const char* operation) {
        if (!m_armed.empty())
            CheckArmed(operation);
    }

private:
    void CheckArmed(const char* operation);

    struct TFault {
        int nth;
        int calls;
        std::string message;
    };
    std::unordered_map<std::string, TFault> m_armed;
};

} // namespace kavrohost

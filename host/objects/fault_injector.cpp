#include "fault_injector.h"

#include "host_context.h"

namespace kavrohost {

void TFaultInjector::FailOn(std::string operation, int nthCall, std::string messageUtf8) {
    m_armed[std::move(operation)] = {nthCall, 0, std::move(messageUtf8)};
    UpdateActive();
}

void TFaultInjector::FailOnAnyCall(int nthCall, std::string messageUtf8) {
    m_anyCall = TFault{nthCall, 0, std::move(messageUtf8)};
    UpdateActive();
}

void TFaultInjector::StartCallLog() {
    m_log.clear();
    m_logging = true;
    UpdateActive();
}

void TFaultInjector::CheckArmed(const char* operation) {
    if (m_logging)
        m_log.push_back({operation, false});
    std::optional<std::string> message;
    if (m_anyCall && ++m_anyCall->calls == m_anyCall->nth) {
        message = std::move(m_anyCall->message);
        m_anyCall.reset();
    }
    // A call that fails by number still counts for its operation.
    if (auto it = m_armed.find(operation); it != m_armed.end()) {
        if (++it->second.calls == it->second.nth) {
            if (!message)
                message = std::move(it->second.message);
            m_armed.erase(it);
        }
    }
    if (!message)
        return;
    UpdateActive();
    NoteFailure();
    throw EHostFailure(*message);
}

} // namespace kavrohost

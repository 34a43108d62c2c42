#include "fault_injector.h"

#include "host_context.h"

namespace kavrohost {

void TFaultInjector::FailOn(std::string operation, int nthCall, std::string messageUtf8) {
    m_armed[std::move(operation)] = {nthCall, 0, std::move(messageUtf8)};
}

void TFaultInjector::CheckArmed(const char* operation) {
    auto it = m_armed.find(operation);
    if (it == m_armed.end())
        return;
    if (++it->second.calls == it->second.nth) {
        std::string message = it->second.message;
        m_armed.erase(it);
        throw EHostFailure(message);
    }
}

} // namespace kavrohost

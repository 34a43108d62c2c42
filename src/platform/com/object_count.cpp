#include "object_count.h"

#include <atomic>

namespace {
std::atomic<long> g_objectCount{0};
} // namespace

void ComObjectCreated() noexcept {
    ++g_objectCount;
}
void ComObjectDestroyed() noexcept {
    --g_objectCount;
}
long ComObjectCount() noexcept {
    return g_objectCount.load();
}

#include "standins/StandInObject.h"

#include <atomic>

namespace standins {

namespace {
std::atomic<long> liveObjects{0};
}

long LiveObjects() noexcept { return liveObjects.load(); }

void detail::CountLiveObject(long delta) noexcept { liveObjects += delta; }

}  // namespace standins

#include "datadefine/dataobject.h"

#include <chrono>
#include <random>
#include <thread>

namespace strataloom {

void PauseBeforeRetry(int attempt) {
    thread_local std::minstd_rand random(std::random_device{}());
    const int ceiling = 2 * (attempt < 10 ? attempt : 10);
    std::uniform_int_distribution<int> milliseconds(1, ceiling);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds(random)));
}

}  // namespace strataloom

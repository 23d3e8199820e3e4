#include "datadefine/dataobject.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

namespace strataloom {

void NoteException(std::exception_ptr caught) noexcept {
    try {
        try {
            std::rethrow_exception(caught);
        } catch (const std::bad_alloc&) {
            db::NoteFailure("out of memory");
        } catch (const std::exception& error) {
            db::NoteFailure(std::string("unexpected failure: ") + error.what());
        } catch (...) {
            db::NoteFailure("unexpected failure");
        }
    } catch (...) {
    }
}

// Exponential back-off with jitter: 4 ms before the second attempt, doubling
// up to 400 ms, each pause drawn between half and all of its ceiling. Twenty
// attempts wait about five seconds in all, time enough for the writers ahead.
void PauseBeforeRetry(int attempt) {
    thread_local std::minstd_rand random(std::random_device{}());
    const int ceiling = std::min(400, 4 << std::min(attempt - 2, 7));
    std::uniform_int_distribution<int> milliseconds(ceiling / 2, ceiling);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds(random)));
}

}  // namespace strataloom

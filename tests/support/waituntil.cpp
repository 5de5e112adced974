// Polling wait for test conditions.
#include "waituntil.h"

#include <thread>

namespace zarel::test {

bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace zarel::test

// Waiting on a condition in tests: polls a predicate until it holds or a generous deadline
// passes, so a test never guesses how long "long enough" is on a busy machine.
#pragma once

#include <chrono>
#include <functional>

namespace zarel::test {

// Generous enough for sanitizer builds on two loaded cores; a passing test never waits it out.
inline constexpr std::chrono::milliseconds kWaitDeadline { 20000 };

// Polls `done` every millisecond; true as soon as it holds, false once `deadline` has passed.
bool waitUntil(const std::function<bool()> &done,
               std::chrono::milliseconds deadline = kWaitDeadline);

} // namespace zarel::test

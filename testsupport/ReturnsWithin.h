#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <utility>

namespace tessmor::testing {

/// Runs `call` on a thread of its own and gives its result, so that a call that blocks fails
/// the test instead of hanging it: when it has not returned after `seconds`, the test fails
/// and `unblock` (when given) is run to let the call finish; when even that does not help
/// within as many seconds again, the test program stops.
template <typename Result>
Result ReturnsWithin(int seconds, std::function<Result()> call,
                     const std::function<void()>& unblock = {}) {
  std::future<Result> result = std::async(std::launch::async, std::move(call));
  if (result.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready) {
    ADD_FAILURE() << "the call did not return within " << seconds << " s";
    if (unblock) unblock();
    if (result.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready) {
      std::fprintf(stderr, "the call still blocks: stopping the tests\n");
      std::fflush(stderr);
      std::abort();
    }
  }
  return result.get();
}

}  // namespace tessmor::testing

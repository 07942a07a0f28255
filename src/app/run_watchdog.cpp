#include "app/run_watchdog.h"

#include <condition_variable>
#include <iostream>
#include <mutex>
#include <thread>
#include <utility>

#include "app/error_numbers.h"
#include "app/platform.h"
#include "app/run_error.h"
#include "app/time_limit.h"

namespace saldor {

// How long the report may take to reach the standard error stream: another thread may hold the
// stream in a write that blocks (a pipe nobody reads).
constexpr std::chrono::seconds kReportGrace{5};

struct RunWatchdog::State {
  std::mutex mutex;
  std::condition_variable ended;
  bool watching = true;
  std::string stage = "while: start-up";
};

RunWatchdog::RunWatchdog(std::chrono::milliseconds limit, std::string limitText, int exitStatus)
    : state_(std::make_shared<State>()) {
  const auto due = std::chrono::steady_clock::now() + limit;
  std::thread([state = state_, due, limitText = std::move(limitText), exitStatus] {
    std::string stage;
    {
      std::unique_lock<std::mutex> lock(state->mutex);
      if (state->ended.wait_until(lock, due, [&state] { return !state->watching; })) return;
      stage = state->stage;
    }
    const std::string report =
        RunError(errors::kRunTimeout, "The run went past its time limit", {stage, limitText})
            .Report();
    try {
      FinishesWithin(kReportGrace, [report] {
        std::cerr << report << std::endl;
        std::cout.flush();
      });
    } catch (...) {
      // No thread for the report: the process ends all the same.
    }
    EndProcessAbruptly(exitStatus);
  }).detach();
}

RunWatchdog::~RunWatchdog() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->watching = false;
  state_->ended.notify_all();
}

void RunWatchdog::Enter(std::string stage) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->stage = std::move(stage);
}

}  // namespace saldor

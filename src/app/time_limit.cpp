#include "app/time_limit.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace saldor {
namespace {

// What the waiting caller and the worker share; the last of the two to let go frees it.
struct Outcome {
  std::mutex mutex;
  std::condition_variable changed;
  bool ended = false;
  std::exception_ptr failure;
};

}  // namespace

bool FinishesWithin(std::chrono::milliseconds limit, std::function<void()> work) {
  auto outcome = std::make_shared<Outcome>();
  std::thread worker([outcome, work = std::move(work)] {
    std::exception_ptr failure;
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(outcome->mutex);
    outcome->failure = failure;
    outcome->ended = true;
    outcome->changed.notify_all();
  });
  std::unique_lock<std::mutex> lock(outcome->mutex);
  if (!outcome->changed.wait_for(lock, limit, [&] { return outcome->ended; })) {
    lock.unlock();
    worker.detach();
    return false;
  }
  lock.unlock();
  worker.join();
  if (outcome->failure) std::rethrow_exception(outcome->failure);
  return true;
}

}  // namespace saldor

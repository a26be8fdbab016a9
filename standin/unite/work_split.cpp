#include "standin/unite/work_split.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#ifdef MORVELIN_UNITE_THREADS
#include <exception>
#include <mutex>
#include <thread>
#include <vector>
#endif

namespace standin {

namespace {

std::atomic<int> gThreads{0};

}  // namespace

void SetUniteThreads(int threads) { gThreads.store(std::max(threads, 0)); }

#ifdef MORVELIN_UNITE_THREADS

int UniteThreads() {
  const int set = gThreads.load();
  if (set > 0) return std::min(set, MORVELIN_UNITE_THREADS);
  const char* variable = std::getenv("MORVELIN_UNITE_THREADS");
  if (variable != nullptr && std::strcmp(variable, "1") == 0) return 1;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? MORVELIN_UNITE_THREADS : std::min(static_cast<int>(cores), MORVELIN_UNITE_THREADS);
}

void SplitWork(std::size_t count, const std::function<void(std::size_t)>& task) {
  const std::size_t threads = std::min(static_cast<std::size_t>(UniteThreads()), count);
  if (threads <= 1) {
    for (std::size_t i = 0; i < count; ++i) task(i);
    return;
  }
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex errorMutex;
  std::exception_ptr error;
  // An exception must not leave a thread's function (that ends the program);
  // the first one is kept and thrown again on the calling thread.
  auto work = [&] {
    while (!failed.load()) {
      const std::size_t i = next.fetch_add(1);
      if (i >= count) return;
      try {
        task(i);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(errorMutex);
        if (!error) error = std::current_exception();
        failed.store(true);
      }
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(threads - 1);
  for (std::size_t t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (...) {
      break;  // no thread to spare (std::system_error or memory): the started ones share the work
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  if (error) std::rethrow_exception(error);
}

#else

int UniteThreads() { return 1; }

void SplitWork(std::size_t count, const std::function<void(std::size_t)>& task) {
  for (std::size_t i = 0; i < count; ++i) task(i);
}

#endif

}  // namespace standin

#include "ParallelJobs.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>

namespace palvina::demo {

void RunInParallel(const std::vector<std::function<void()>>& jobs)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr firstError;
    std::mutex errorMutex;

    const auto work = [&] {
        for (std::size_t i = next++; i < jobs.size() && !failed; i = next++) {
            try {
                jobs[i]();
            } catch (...) {
                const std::lock_guard lock(errorMutex);
                if (!firstError) {
                    firstError = std::current_exception();
                }
                failed = true;
            }
        }
    };

    const std::size_t cores = std::max(1U, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min(cores, jobs.size()) - (jobs.empty() ? 0 : 1);
    std::vector<std::jthread> threads;
    threads.reserve(helpers);
    for (std::size_t t = 0; t < helpers; ++t) {
        threads.emplace_back(work);
    }
    work();
    threads.clear();  // joins
    if (firstError) {
        std::rethrow_exception(firstError);
    }
}

} // namespace palvina::demo

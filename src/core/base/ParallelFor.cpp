#include "core/base/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace quiltara {

int WorkerCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return int(std::clamp(n, 1u, 64u));
}

void ParallelFor(int count, int grain, const std::function<void(int, int)>& body,
                 const std::function<void(int)>& progress) {
    if (count <= 0) return;
    grain = std::max(grain, 1);
    const int chunks = (count + grain - 1) / grain;
    const int threads = std::min(WorkerCount(), chunks);
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&](bool caller) {
        for (;;) {
            const int chunk = next.fetch_add(1);
            if (chunk >= chunks) return;
            const int begin = chunk * grain;
            const int end = std::min(count, begin + grain);
            try {
                body(begin, end);
            } catch (...) {
                std::lock_guard<std::mutex> lock(failureLock);
                if (!failure) failure = std::current_exception();
                next.store(chunks);
                return;
            }
            const int finished = done.fetch_add(end - begin) + (end - begin);
            if (caller && progress) progress(finished);
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (int t = 1; t < threads; ++t) helpers.emplace_back(work, false);
    } catch (...) {
        // No more threads to be had: the caller does the rest alone.
    }
    work(true);
    for (auto& t : helpers) t.join();
    if (failure) std::rethrow_exception(failure);
    // The helpers may have taken the last chunks: the caller reports the end itself.
    if (progress) progress(count);
}

} // namespace quiltara

#include "core/base/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quiltara {

int WorkerCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return int(std::clamp(n, 1u, 64u));
}

namespace {

/// One ParallelFor call: the chunks still to hand out, and who is working on them.
struct Job {
    const std::function<void(int, int)>* body = nullptr;
    const std::function<void(int)>* progress = nullptr;
    int count = 0;
    int grain = 1;
    int chunks = 0;
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    // Threads inside Run(); raised before a chunk is claimed, so once the caller has seen
    // every chunk claimed and this at zero, no body is running and none will start.
    std::atomic<int> inside{0};
    std::mutex lock;
    std::condition_variable idle;
    std::exception_ptr failure;

    void Run(bool caller) {
        inside.fetch_add(1);
        for (;;) {
            const int chunk = next.fetch_add(1);
            if (chunk >= chunks) break;
            const int begin = chunk * grain;
            const int end = std::min(count, begin + grain);
            try {
                (*body)(begin, end);
            } catch (...) {
                std::lock_guard<std::mutex> guard(lock);
                if (!failure) failure = std::current_exception();
                next.store(chunks);
                break;
            }
            const int finished = done.fetch_add(end - begin) + (end - begin);
            if (caller && *progress) (*progress)(finished);
        }
        if (inside.fetch_sub(1) == 1) {
            std::lock_guard<std::mutex> guard(lock);
            idle.notify_all();
        }
    }
};

thread_local bool t_inPoolThread = false;

/// The helper threads, started on first use and kept for the life of the program. A call
/// queues one ticket per helper it wants; a helper that takes a ticket of a call that has
/// already finished finds no chunk left and moves on.
class ThreadPool {
public:
    static ThreadPool& Instance() {
        static ThreadPool pool;
        return pool;
    }

    int Helpers() const { return int(m_threads.size()); }

    void Post(const std::shared_ptr<Job>& job, int tickets) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            for (int i = 0; i < tickets; ++i) m_queue.push_back(job);
        }
        if (tickets == 1)
            m_wake.notify_one();
        else
            m_wake.notify_all();
    }

private:
    ThreadPool() {
        const int helpers = WorkerCount() - 1;
        try {
            for (int i = 0; i < helpers; ++i) m_threads.emplace_back([this] { Loop(); });
        } catch (...) {
            // No more threads to be had: the callers do the rest themselves.
        }
    }

    ~ThreadPool() {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_stop = true;
        }
        m_wake.notify_all();
        for (auto& t : m_threads) t.join();
    }

    void Loop() {
        t_inPoolThread = true;
        for (;;) {
            std::shared_ptr<Job> job;
            {
                std::unique_lock<std::mutex> guard(m_lock);
                m_wake.wait(guard, [this] { return m_stop || !m_queue.empty(); });
                if (m_stop) return;
                job = std::move(m_queue.front());
                m_queue.pop_front();
            }
            job->Run(false);
        }
    }

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<Job>> m_queue;
    std::vector<std::thread> m_threads;
    bool m_stop = false;
};

} // namespace

void ParallelFor(int count, int grain, const std::function<void(int, int)>& body,
                 const std::function<void(int)>& progress) {
    if (count <= 0) return;
    grain = std::max(grain, 1);
    auto job = std::make_shared<Job>();
    job->body = &body;
    job->progress = &progress;
    job->count = count;
    job->grain = grain;
    job->chunks = (count - 1) / grain + 1;
    // A loop inside a helper's chunk runs on that helper alone: the other threads are
    // already busy with the outer loop.
    if (!t_inPoolThread && job->chunks > 1) {
        ThreadPool& pool = ThreadPool::Instance();
        const int tickets = std::min(pool.Helpers(), job->chunks - 1);
        if (tickets > 0) pool.Post(job, tickets);
    }
    job->Run(true);
    {
        std::unique_lock<std::mutex> guard(job->lock);
        job->idle.wait(guard, [&] { return job->inside.load() == 0; });
    }
    if (job->failure) std::rethrow_exception(job->failure);
    // The helpers may have taken the last chunks: the caller reports the end itself.
    if (progress) progress(count);
}

} // namespace quiltara

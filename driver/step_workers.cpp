// The worker threads of the speed steps: a shared counter hands out the
// steps of a pass in chunks, a flag per step tells the sweep's thread which
// steps are done. A step writes only its work space and its own rows of the
// result tables, so the results do not depend on which worker computed it.
#include "driver/step_workers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// The steps of one pass while the workers compute them.
struct Batch {
    int n = 0, chunk = 1;
    const std::function<void(int, StepWork&)>* compute = nullptr;
    std::atomic<int> next{1};  // first step of the next chunk to hand out
    std::mutex lock;           // guards the fields below
    std::condition_variable changed;
    std::vector<char> done;  // done[k]: step k computed
    int last = 0;            // worker that computed step n
    std::exception_ptr error;
};

void Work(const std::stop_token& stop, Batch& b, StepWork& space, int worker) {
    for (;;) {
        const int first = b.next.fetch_add(b.chunk);
        if (first > b.n) return;
        for (int k = first; k < first + b.chunk && k <= b.n; ++k) {
            if (stop.stop_requested()) return;
            try {
                (*b.compute)(k, space);
            } catch (...) {
                const std::scoped_lock hold(b.lock);
                b.error = std::current_exception();
                b.changed.notify_one();
                return;
            }
            {
                const std::scoped_lock hold(b.lock);
                b.done[static_cast<std::size_t>(k)] = 1;
                if (k == b.n) b.last = worker;
            }
            b.changed.notify_one();
        }
    }
}

}  // namespace

int SweepThreads() {
    if (const char* v = std::getenv("KORVO_THREADS")) {
        char* end = nullptr;
        const long n = std::strtol(v, &end, 10);
        while (end != v && (*end == ' ' || *end == '\t')) ++end;
        if (end != v && *end == '\0' && n >= 1 && n <= MAXTHREADS) return static_cast<int>(n);
    }
    const unsigned hw = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(std::min(hw, static_cast<unsigned>(MAXTHREADS))), 1, MAXTHREADS);
}

StepWorkers::StepWorkers(int threads, StepWork& first) : threads_(std::clamp(threads, 1, MAXTHREADS)) {
    spaces_.push_back(&first);
}

void StepWorkers::MakeSpaces(int n) {
    // Work spaces are not cleared: a step writes what it reads, and pages it
    // never touches (the unbalance matrices of a stability worker) are never
    // made resident.
    while (static_cast<int>(spaces_.size()) < n) {
        owned_.push_back(std::make_unique_for_overwrite<StepWork>());
        spaces_.push_back(owned_.back().get());
    }
}

void StepWorkers::RunEach(int n, const std::function<void(int, StepWork&)>& compute) {
    n = std::clamp(n, 0, threads_);
    MakeSpaces(n);
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(n) + 1);
    {
        std::vector<std::jthread> threads;
        for (int k = 2; k <= n; ++k)
            threads.emplace_back([&, k] {
                try {
                    compute(k, Space(k));
                } catch (...) {
                    errors[static_cast<std::size_t>(k)] = std::current_exception();
                }
            });
        try {
            if (n >= 1) compute(1, Space(1));
        } catch (...) {
            errors[1] = std::current_exception();
        }
    }
    for (const std::exception_ptr& e : errors)
        if (e) std::rethrow_exception(e);
}

StepWork& StepWorkers::Run(int n, int chunk, const std::function<void(int, StepWork&)>& compute,
                           const std::function<void(int)>& written) {
    chunk = std::max(chunk, 1);
    const int workers = std::min(threads_, (n + chunk - 1) / chunk);
    if (workers <= 1) {
        for (int k = 1; k <= n; ++k) {
            compute(k, *spaces_[0]);
            written(k);
        }
        return *spaces_[0];
    }
    MakeSpaces(workers);
    Batch b;
    b.n = n;
    b.chunk = chunk;
    b.compute = &compute;
    b.done.assign(static_cast<std::size_t>(n) + 1, 0);
    {
        // Leaving this block, by the end of the pass or an exception, stops
        // the workers at their next step and waits for them.
        std::vector<std::jthread> threads;
        threads.reserve(static_cast<std::size_t>(workers));
        for (int t = 0; t < workers; ++t)
            threads.emplace_back([&b, this, t](std::stop_token stop) { Work(stop, b, *spaces_[t], t); });
        for (int k = 1; k <= n; ++k) {
            {
                std::unique_lock hold(b.lock);
                b.changed.wait(hold, [&] { return b.done[static_cast<std::size_t>(k)] != 0 || b.error; });
                if (b.error) std::rethrow_exception(b.error);
            }
            written(k);
        }
    }
    return *spaces_[static_cast<std::size_t>(b.last)];
}

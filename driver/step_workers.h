#pragma once
// The speed steps of a pass on worker threads. Each worker computes its steps
// in a work space of its own; the thread that runs the sweep writes what each
// step returned, in step order, as soon as the steps before it are done.
#include <functional>
#include <memory>
#include <vector>

#include "analyses/step_work.h"

// Threads of the speed steps: KORVO_THREADS when it is a whole number from 1
// to MAXTHREADS (blanks around it allowed); otherwise, or when it is not set,
// every hardware thread of the machine (at least 1).
constexpr int MAXTHREADS = 256;
int SweepThreads();

class StepWorkers {
public:
    // Up to `threads` workers; `first` is the work space of the first worker
    // and of every step computed on the sweep's own thread. The others are
    // allocated when a pass first needs them and live as long as this.
    StepWorkers(int threads, StepWork& first);

    // Computes the steps 1..n of a pass with compute(k, space), handing out
    // `chunk` consecutive steps at a time, and calls written(k) on this
    // thread for k = 1..n in order, as soon as steps 1..k are computed.
    // compute must not touch what written reads of other steps, nor use the
    // record layer. With one thread, or one step, each step is computed on
    // this thread and written before the next. Returns the work space that
    // holds step n. An exception of written or of a step stops the workers
    // before it leaves.
    StepWork& Run(int n, int chunk, const std::function<void(int, StepWork&)>& compute,
                  const std::function<void(int)>& written);

    // The number of workers.
    int Threads() const { return threads_; }

    // Computes items 1..n (n at most Threads()) at once, item k with
    // compute(k, Space(k)) on a thread of its own (item 1 on this thread),
    // and returns when all are done. compute must not use the record layer.
    void RunEach(int n, const std::function<void(int, StepWork&)>& compute);
    StepWork& Space(int k) { return *spaces_[static_cast<std::size_t>(k - 1)]; }

private:
    void MakeSpaces(int n);

    int threads_;
    std::vector<StepWork*> spaces_;
    std::vector<std::unique_ptr<StepWork>> owned_;
};

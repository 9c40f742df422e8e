#include "app/headless/CaptureQueue.h"

#include <ctime>

namespace {

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

}  // namespace

CaptureQueue::CaptureQueue(std::size_t frameBytes, int buffers, int workers, Writer writer)
    : writer_(std::move(writer)), frames_(static_cast<std::size_t>(buffers)) {
    for (Frame& frame : frames_) {
        frame.pixels.resize(frameBytes);
        free_.push_back(&frame);
    }
    for (int i = 0; i < workers; ++i) threads_.emplace_back(&CaptureQueue::work, this);
}

CaptureQueue::~CaptureQueue() {
    finish();
}

CaptureQueue::Frame* CaptureQueue::acquire() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return failed_ || !free_.empty(); });
    if (failed_) return nullptr;
    Frame* frame = free_.back();
    free_.pop_back();
    return frame;
}

void CaptureQueue::submit(Frame* frame) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queued_.push_back(frame);
    }
    changed_.notify_all();
}

void CaptureQueue::finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
}

bool CaptureQueue::failed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

double CaptureQueue::workerCpuSeconds() {
    std::lock_guard<std::mutex> lock(mutex_);
    return cpuSeconds_;
}

void CaptureQueue::work() {
    const double cpuAtStart = threadCpuSeconds();
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        changed_.wait(lock, [&] { return stopping_ || !queued_.empty(); });
        if (queued_.empty()) break;  // stopping, and everything is written
        Frame* frame = queued_.front();
        queued_.pop_front();
        bool ok = true;
        if (!failed_) {
            lock.unlock();
            ok = writer_(*frame);
            lock.lock();
        }
        if (!ok) failed_ = true;
        free_.push_back(frame);
        changed_.notify_all();
    }
    cpuSeconds_ += threadCpuSeconds() - cpuAtStart;
}

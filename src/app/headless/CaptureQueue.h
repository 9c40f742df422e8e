#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Hands read-back frames to worker threads that write them (PNG deflating, the pipe to ffmpeg),
// so the render loop does not wait for them. A fixed pool of frame buffers bounds the memory:
// when every buffer is queued, the render loop waits for a worker to free one.
class CaptureQueue {
public:
    struct Frame {
        long number = 0;
        std::vector<std::uint8_t> pixels;
    };
    // Writes one frame; false ends the capture (it has printed why).
    using Writer = std::function<bool(const Frame&)>;

    // `workers` threads take frames in queue order; with one worker they are written in order.
    CaptureQueue(std::size_t frameBytes, int buffers, int workers, Writer writer);
    ~CaptureQueue();
    CaptureQueue(const CaptureQueue&) = delete;
    CaptureQueue& operator=(const CaptureQueue&) = delete;

    // A free buffer to fill, waiting while all are in use; null once a write has failed.
    Frame* acquire();
    void submit(Frame* frame);
    // Waits until every submitted frame is written and stops the workers.
    void finish();
    bool failed();
    // Seconds of CPU the workers have spent writing.
    double workerCpuSeconds();

private:
    void work();

    Writer writer_;
    std::vector<Frame> frames_;
    std::vector<Frame*> free_;
    std::deque<Frame*> queued_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool failed_ = false;
    double cpuSeconds_ = 0.0;
};

#pragma once
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

// Runs work(0) ... work(count - 1) on every core, items handed out in order to whichever thread is
// free. Each item must write only its own outputs, so the result does not depend on the schedule.
template <typename Work>
void parallelFor(int count, const Work& work) {
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    threads = 1;  // a browser build without threads: every item on the calling thread
#endif
    threads = std::min(threads, count);
    std::atomic<int> next{0};
    auto run = [&] {
        for (int item = next++; item < count; item = next++) work(item);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) helpers.emplace_back(run);
    run();
    for (std::thread& helper : helpers) helper.join();
}

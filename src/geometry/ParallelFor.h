#pragma once
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>
#if defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#endif

// Runs work(0) ... work(count - 1) on every core, items handed out in order to whichever thread is
// free. Each item must write only its own outputs, so the result does not depend on the schedule.
template <typename Work>
void parallelFor(int count, const Work& work) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    // A browser build without threads: every item on the page's one thread, which hands the
    // browser a turn every 30 ms so that the page keeps answering (asyncify; app/web/main.cpp).
    double turn = emscripten_get_now();
    for (int item = 0; item < count; ++item) {
        work(item);
        if (emscripten_get_now() - turn > 30.0) {
            emscripten_sleep(0);
            turn = emscripten_get_now();
        }
    }
#else
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::min(threads, count);
    std::atomic<int> next{0};
    auto run = [&] {
        for (int item = next++; item < count; item = next++) work(item);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) helpers.emplace_back(run);
    run();
    for (std::thread& helper : helpers) helper.join();
#endif
}

// Windows XP has no GetTickCount64, yet the toolchain's thread library imports it for its timed
// waits, and one such import is enough for XP's loader to refuse the program. Filling that import
// slot here keeps the function out of the import table; the count comes from the performance
// counter, which every Windows since 2000 has.
#include <windows.h>

namespace {

ULONGLONG WINAPI tickCount64() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    const ULONGLONG ticks = count.QuadPart, perSecond = frequency.QuadPart;
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

}  // namespace

extern "C" __attribute__((used))
ULONGLONG(WINAPI* const tickCount64Import)(void) __asm__("__imp__GetTickCount64@0") = tickCount64;

#pragma once

// The demo's tempo, the one place it is written: the timeline, the soundtrack's score and the web
// page (which the build hands these two numbers) all count from it.
constexpr double kBeatsPerMinute = 178.0;
constexpr int kBeatsPerBar = 4;

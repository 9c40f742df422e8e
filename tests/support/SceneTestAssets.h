#pragma once
#include <memory>
#include <vector>

#include "demo/Demo.h"
#include "demo/DemoAssets.h"
#include "demo/SceneClock.h"
#include "math/Matrix4.h"
#include "support/GlCallRecorder.h"

// The demo, loaded once per test process on a headless context of kWidth x kHeight, and released
// when the tests are over.
class SceneTestAssets {
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 180;

    static Demo& demo();
    static DemoAssets& get() { return demo().assets(); }
};

// The clock the frame head derives at a music position given in seconds, or in bars.
SceneClock sceneClockAtSeconds(double seconds);
SceneClock sceneClockAtBars(double bars);

// One frame of a scene routine drawn the way the frame loop draws it (cleared first), with its GL
// calls recorded and the state it left behind read back from the driver.
struct RecordedFrame {
    SceneClock clock;
    std::unique_ptr<GlCallRecorder> calls;
    int stackDepthBefore = 0;
    int stackDepthAfter = 0;
    bool depthTestAfter = false;
    bool blendAfter = false;
    GLenum depthFunctionAfter = 0;
};
RecordedFrame drawRecorded(SceneRoutine scene, const SceneClock& clock);

// A matrix as the recorder reports an upload of it.
std::vector<double> uploaded(const Matrix4& m);
// The RGBA bytes of the whole frame just drawn.
std::vector<unsigned char> readFrame();

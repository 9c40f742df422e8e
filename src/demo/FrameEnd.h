#pragma once

// Binds the default framebuffer and tells whether the demo goes on: false on the first frame past
// the last bar (a NaN goes on), which is still presented.
bool frameEnd(float bars);

#pragma once
#include <string>

// Whether the GL of the current context can draw the demo at width x height: the largest
// viewport, renderbuffer and texture it reports, and whether it can hold the off-screen target
// the scenes draw into (a floating-point colour texture and a depth texture of that size; a
// software GL runs out of room for those well below its stated limits). Empty when it can, else
// one line naming the limit. Front ends ask before the load phase builds that target.
std::string pictureSizeProblem(int width, int height);

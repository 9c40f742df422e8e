#pragma once

class DemoWindow;

// Binds the default framebuffer, asks for the end once the music is past the last bar, and
// presents the frame. False: leave the frame loop.
bool frameEnd(float bars, DemoWindow& window);

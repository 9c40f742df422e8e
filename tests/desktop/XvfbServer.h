#pragma once

// A private X server (Xvfb, one 1920x1080x24 screen) for the desktop tests of this process, so
// they neither need nor disturb the display of whoever runs them. The first call starts it and
// points DISPLAY at it; it stops when the process exits. False when Xvfb is missing or does not
// come up: the tests then skip.
bool startPrivateXServer();

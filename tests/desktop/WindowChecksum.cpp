// window-checksum WINDOW [PNG]: prints a 64-bit FNV-1a hash of the window's pixels as the X server
// holds them (the picture last presented), and optionally writes them as a PNG. Exit 1 when the
// window cannot be read. For the developer-mode test: equal hashes, equal pictures.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/headless/PngFile.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window-checksum WINDOW [PNG]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const Window window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 1;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return 1;
    std::uint64_t hash = 1469598103934665603ull;
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(image->width) * image->height * 4);
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y) & 0xFFFFFFu;
            for (int shift : {16, 8, 0}) {
                const std::uint8_t byte = static_cast<std::uint8_t>(pixel >> shift);
                hash = (hash ^ byte) * 1099511628211ull;
                rgba.push_back(byte);
            }
            rgba.push_back(255);
        }
    std::printf("%016" PRIx64 "\n", hash);
    if (argc > 2 && !writeFramePng(argv[2], image->width, image->height, rgba.data())) return 1;
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}

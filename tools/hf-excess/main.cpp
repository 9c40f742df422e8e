// velmora-hfexcess: detail above the pixel rate in one frame.
//   velmora-hfexcess PLAIN.png FILTERED.png
// PLAIN is the frame rendered plainly, FILTERED the same frame with --supersample 4 at the same
// size. Prints "plain P filtered F excess E" (0..255, E = P - F); exits 2 when a picture cannot be
// read or the sizes differ.
#include <cstdio>

#include "HighFrequency.h"
#include "ImageFile.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::printf("usage: velmora-hfexcess PLAIN.png FILTERED.png\n");
        return 2;
    }
    Picture plain, filtered;
    if (!readPicture(argv[1], plain) || !readPicture(argv[2], filtered)) return 2;
    if (plain.width != filtered.width || plain.height != filtered.height) {
        std::printf("velmora-hfexcess: %s is %dx%d but %s is %dx%d\n", argv[1], plain.width,
                    plain.height, argv[2], filtered.width, filtered.height);
        return 2;
    }
    const double p = highFrequency(plain), f = highFrequency(filtered);
    std::printf("plain %.2f filtered %.2f excess %.2f\n", p, f, p - f);
    return 0;
}

#pragma once

#include "Image.h"
#include "IndexedImage.h"

class Font;

// The faces every lettered picture draws from (DejaVu, from fonts-dejavu-core).
struct FontSet {
    Font& sansBold;
    Font& sans;
    Font& monoBold;
    Font& serifBold;
};

// Tiling surface textures, size × size.
Image makeCliffTexture(int size);
Image makeBrickTexture(int size);
Image makeMossTexture(int size);
Image makeSandTexture(int size);

// The group logo in two steps, the second laid over the first (1024 × 528).
void makeGroupLogo(FontSet& fonts, Image& stepOne, Image& stepTwo);

// The title in three layers (1024 × 700): backing emblem, upper and lower half of the lettering.
void makeTitleLogo(FontSet& fonts, Image& background, Image& upper, Image& lower);

// Full-screen credits card, 1280 × 720, translucent so the scene shows through.
Image makeCreditsCard(FontSet& fonts);

// Sideways-tiling banner strip, 1024 × 146.
Image makeAttentionBand(FontSet& fonts);

// The fly-by name card, 1024 × 352.
Image makeNameCard(FontSet& fonts);

// Camcorder viewfinder overlay (1280 × 720), recording mark (256 × 128), dust mote (64 × 64).
Image makeViewfinder(FontSet& fonts);
Image makeRecordingMark(FontSet& fonts);
Image makeDustMote();

// The developer overlay's bitmap font: ASCII 32..127 in 8 x 16 cells, 16 to a row (128 × 96).
Image makeOverlayFont(FontSet& fonts);

// The launcher picture (145 × 100) and the program icon (16 × 16), 16 colours each.
IndexedImage makeLauncherPicture(FontSet& fonts);
IndexedImage makeIcon(FontSet& fonts);

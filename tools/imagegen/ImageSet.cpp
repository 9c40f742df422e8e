#include "ImageSet.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "Font.h"
#include "Generators.h"
#include "ImageFile.h"
#include "IndexedImage.h"
#include "WindowsResourceFiles.h"

namespace {

constexpr int kTextureSize = 1024;
constexpr int kJpegQuality = 88;

struct Output {
    std::string dir;
    FontSet& fonts;
};

bool saveJpeg(const Output& out, const char* name, const Image& image) {
    return writeJpeg(out.dir + "/" + name, image.width(), image.height(), image.toRgb8(),
                     kJpegQuality);
}

bool savePng(const Output& out, const char* name, Image image) {
    image.bleedIntoTransparent(4);
    return writePng(out.dir + "/" + name, image.width(), image.height(), image.toRgba8());
}

struct Entry {
    std::vector<std::string> files;
    std::function<bool(const Output&)> make;
};

std::vector<Entry> entries() {
    return {
        {{"quarncliff.jpg"},
         [](const Output& o) {
             return saveJpeg(o, "quarncliff.jpg", makeCliffTexture(kTextureSize));
         }},
        {{"brick.jpg"},
         [](const Output& o) { return saveJpeg(o, "brick.jpg", makeBrickTexture(kTextureSize)); }},
        {{"moss.jpg"},
         [](const Output& o) { return saveJpeg(o, "moss.jpg", makeMossTexture(kTextureSize)); }},
        {{"sand.jpg"},
         [](const Output& o) { return saveJpeg(o, "sand.jpg", makeSandTexture(kTextureSize)); }},
        {{"newlogo.png", "newlogo2.png"},
         [](const Output& o) {
             Image one, two;
             makeGroupLogo(o.fonts, one, two);
             return savePng(o, "newlogo.png", one) && savePng(o, "newlogo2.png", two);
         }},
        {{"biglogo_bg.png", "biglogo_up.png", "biglogo_down.png"},
         [](const Output& o) {
             Image bg, up, down;
             makeTitleLogo(o.fonts, bg, up, down);
             return savePng(o, "biglogo_bg.png", bg) && savePng(o, "biglogo_up.png", up) &&
                    savePng(o, "biglogo_down.png", down);
         }},
        {{"credits.png"},
         [](const Output& o) { return savePng(o, "credits.png", makeCreditsCard(o.fonts)); }},
        {{"attention.png"},
         [](const Output& o) { return savePng(o, "attention.png", makeAttentionBand(o.fonts)); }},
        {{"mirramirra.png"},
         [](const Output& o) { return savePng(o, "mirramirra.png", makeNameCard(o.fonts)); }},
        {{"borders.png"},
         [](const Output& o) { return savePng(o, "borders.png", makeViewfinder(o.fonts)); }},
        {{"rec.png"},
         [](const Output& o) { return savePng(o, "rec.png", makeRecordingMark(o.fonts)); }},
        {{"introparticle.png"},
         [](const Output& o) { return savePng(o, "introparticle.png", makeDustMote()); }},
        {{"overlayfont.png"},
         [](const Output& o) { return savePng(o, "overlayfont.png", makeOverlayFont(o.fonts)); }},
        {{"launcher/launcher.bmp", "launcher/launcher.png"},
         [](const Output& o) {
             IndexedImage picture = makeLauncherPicture(o.fonts);
             return writeBmp4(o.dir + "/launcher/launcher.bmp", picture) &&
                    writeIndexedPng(o.dir + "/launcher/launcher.png", picture.width, picture.height,
                                    picture.indices, picture.paletteRgb());
         }},
        {{"launcher/velmora.ico", "launcher/velmora.png"},
         [](const Output& o) {
             IndexedImage icon = makeIcon(o.fonts);
             return writeIco4(o.dir + "/launcher/velmora.ico", icon) &&
                    writePng(o.dir + "/launcher/velmora.png", icon.width, icon.height,
                             icon.toRgba8());
         }},
    };
}

}  // namespace

std::vector<std::string> imageFileNames() {
    std::vector<std::string> names;
    for (const Entry& e : entries()) names.insert(names.end(), e.files.begin(), e.files.end());
    return names;
}

bool generateImages(const std::string& outputDir, const std::string& fontDir,
                    const std::vector<std::string>& only) {
    Font sansBold(fontPath(fontDir, "DejaVuSans-Bold.ttf"));
    Font sans(fontPath(fontDir, "DejaVuSans.ttf"));
    Font monoBold(fontPath(fontDir, "DejaVuSansMono-Bold.ttf"));
    Font serifBold(fontPath(fontDir, "DejaVuSerif-Bold.ttf"));
    if (!sansBold.ok() || !sans.ok() || !monoBold.ok() || !serifBold.ok()) return false;
    FontSet fonts{sansBold, sans, monoBold, serifBold};

    mkdir(outputDir.c_str(), 0755);
    mkdir((outputDir + "/launcher").c_str(), 0755);
    Output out{outputDir, fonts};
    bool ok = true;
    for (const Entry& e : entries()) {
        bool wanted =
            only.empty() || std::any_of(e.files.begin(), e.files.end(), [&](const std::string& f) {
                return std::find(only.begin(), only.end(), f) != only.end();
            });
        if (!wanted) continue;
        if (!e.make(out)) {
            std::printf("Failed to write %s\n", e.files.front().c_str());
            ok = false;
        }
    }
    return ok;
}

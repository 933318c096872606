// Writes every icon and bitmap of the program into one folder (resources/art by default).
#include <cstdio>
#include <string>
#include <vector>

#include "tools/artgen/Art.h"
#include "tools/artgen/ImageFiles.h"

namespace {

using namespace artgen;

// Icons sit on dialog and button faces; edge pixels are blended onto this colour.
const Rgba kIconMatte = Hex(0xF0F0F0);

struct IconEntry {
    const char* file;
    Canvas (*draw)(int size);
    std::vector<int> sizes;
};

struct BitmapEntry {
    const char* file;
    Canvas (*draw)(int w, int h);
    int width;
    int height;
};

const IconEntry kIcons[] = {
    {"app.ico", DrawAppIcon, {32, 16}},
    {"printer.ico", DrawPrinterIcon, {32}},
    {"cross.ico", DrawCrossIcon, {32}},
    {"tick.ico", DrawTickIcon, {32}},
    {"uninstall.ico", DrawUninstallIcon, {32, 16}},
};

const BitmapEntry kBitmaps[] = {
    {"bluetooth.bmp", DrawBluetooth, 260, 267},
    {"ethernet.bmp", DrawNetworkPlug, 298, 292},
    {"parallel.bmp", DrawParallelSocket, 294, 237},
    {"serial.bmp", DrawSerialPlug, 283, 260},
    {"usb.bmp", DrawUsbCable, 302, 299},
    {"wifi.bmp", DrawWifi, 325, 298},
};

}  // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : "resources/art";
    int failures = 0;
    auto write = [&](const std::string& name, const Bytes& bytes) {
        const std::string path = dir + "/" + name;
        if (!WriteFile(path, bytes)) {
            std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
            ++failures;
        } else {
            std::printf("%s\n", path.c_str());
        }
    };
    for (const IconEntry& icon : kIcons) {
        std::vector<Canvas> images;
        for (const int size : icon.sizes) images.push_back(icon.draw(size));
        std::vector<const Canvas*> refs;
        for (const Canvas& c : images) refs.push_back(&c);
        write(icon.file, EncodeIco(refs, kIconMatte));
    }
    for (const BitmapEntry& bmp : kBitmaps)
        write(bmp.file, EncodeBmp24(bmp.draw(bmp.width, bmp.height), kPictureBackground));
    return failures == 0 ? 0 : 1;
}

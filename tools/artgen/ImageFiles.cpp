#include "tools/artgen/ImageFiles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>

namespace artgen {

namespace {

constexpr double kOpaqueThreshold = 0.4;
constexpr int kPaletteSize = 256;
constexpr std::uint8_t kTransparentIndex = 0;  // black: screen AND 1 XOR 0 leaves the screen

struct Rgb8 {
    std::uint8_t c[3];
    bool operator<(const Rgb8& o) const { return std::lexicographical_compare(c, c + 3, o.c, o.c + 3); }
};

void Put16(Bytes& b, unsigned v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

std::uint8_t To8(double v)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(v * 255.0), 0L, 255L));
}

Rgb8 Flatten(const Canvas& cv, int x, int y, Rgba bg)
{
    const float* p = &cv.px[(static_cast<size_t>(y) * cv.width + x) * 4];
    const double k = 1.0 - p[3];
    return {{To8(p[0] + bg.r * k), To8(p[1] + bg.g * k), To8(p[2] + bg.b * k)}};
}

void PutInfoHeader(Bytes& b, int width, int height, int bits, std::uint32_t imageBytes)
{
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, 0);  // BI_RGB
    Put32(b, imageBytes);
    Put32(b, 2835);  // 72 dots per inch
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
}

struct ColourBox {
    std::vector<std::pair<Rgb8, int>> colours;  // colour and pixel count
    int Range(int ch) const
    {
        int lo = 255, hi = 0;
        for (const auto& [c, n] : colours) {
            lo = std::min<int>(lo, c.c[ch]);
            hi = std::max<int>(hi, c.c[ch]);
        }
        return hi - lo;
    }
    long Population() const
    {
        long s = 0;
        for (const auto& e : colours) s += e.second;
        return s;
    }
};

// Median cut over the used colours; with up to 255 colours in use the palette is exact.
std::vector<Rgb8> BuildPalette(const std::map<Rgb8, int>& histogram, int slots)
{
    std::vector<ColourBox> boxes(1);
    for (const auto& e : histogram) boxes[0].colours.push_back(e);
    while (static_cast<int>(boxes.size()) < slots) {
        int best = -1, bestChannel = 0;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2) continue;
            for (int ch = 0; ch < 3; ++ch) {
                const double score = boxes[i].Range(ch) * std::sqrt(static_cast<double>(boxes[i].Population()));
                if (score > bestScore) {
                    bestScore = score;
                    best = static_cast<int>(i);
                    bestChannel = ch;
                }
            }
        }
        if (best < 0) break;
        auto& cs = boxes[best].colours;
        std::sort(cs.begin(), cs.end(),
                  [&](const auto& a, const auto& b) { return a.first.c[bestChannel] < b.first.c[bestChannel]; });
        const long half = boxes[best].Population() / 2;
        long run = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < cs.size(); ++i) {
            run += cs[i].second;
            cut = i + 1;
            if (run >= half) break;
        }
        ColourBox upper;
        upper.colours.assign(cs.begin() + cut, cs.end());
        cs.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb8> palette;
    for (const auto& box : boxes) {
        double sum[3] = {0, 0, 0};
        long n = 0;
        for (const auto& [c, count] : box.colours) {
            for (int ch = 0; ch < 3; ++ch) sum[ch] += static_cast<double>(c.c[ch]) * count;
            n += count;
        }
        if (n == 0) continue;
        Rgb8 mean;
        for (int ch = 0; ch < 3; ++ch) mean.c[ch] = static_cast<std::uint8_t>(std::lround(sum[ch] / n));
        palette.push_back(mean);
    }
    return palette;
}

// The palette entry nearest to c among the `used` colours after the transparent entry 0.
std::uint8_t NearestIndex(const std::vector<Rgb8>& palette, size_t used, Rgb8 c)
{
    int best = 1;
    long bestDist = -1;
    for (size_t k = 1; k < used + 1; ++k) {
        long d = 0;
        for (int ch = 0; ch < 3; ++ch) {
            const long diff = static_cast<long>(c.c[ch]) - palette[k].c[ch];
            d += diff * diff;
        }
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = static_cast<int>(k);
        }
    }
    return static_cast<std::uint8_t>(best);
}

// The icon's AND mask, bottom row first: a set bit is a transparent pixel.
void PutAndMask(Bytes& b, const std::vector<bool>& opaque, int w, int h, int andStride)
{
    for (int y = h - 1; y >= 0; --y) {
        for (int byte = 0; byte < andStride; ++byte) {
            std::uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = byte * 8 + bit;
                const bool clear = x >= w || !opaque[static_cast<size_t>(y) * w + x];
                if (clear) bits |= 0x80 >> bit;
            }
            b.push_back(bits);
        }
    }
}

Bytes EncodeIconImage(const Canvas& cv, Rgba matte)
{
    const int w = cv.width, h = cv.height;
    std::vector<Rgb8> colour(static_cast<size_t>(w) * h);
    std::vector<bool> opaque(colour.size());
    std::map<Rgb8, int> histogram;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            opaque[i] = cv.px[i * 4 + 3] > kOpaqueThreshold;
            if (!opaque[i]) continue;
            colour[i] = Flatten(cv, x, y, matte);
            ++histogram[colour[i]];
        }
    }
    std::vector<Rgb8> palette{{{0, 0, 0}}};
    const auto used = BuildPalette(histogram, kPaletteSize - 1);
    palette.insert(palette.end(), used.begin(), used.end());
    palette.resize(kPaletteSize, Rgb8{{0, 0, 0}});
    auto nearest = [&](Rgb8 c) { return NearestIndex(palette, used.size(), c); };
    const int xorStride = (w + 3) / 4 * 4;
    const int andStride = ((w + 31) / 32) * 4;
    Bytes b;
    PutInfoHeader(b, w, h * 2, 8, static_cast<std::uint32_t>((xorStride + andStride) * h));
    for (const Rgb8& p : palette) {
        b.push_back(p.c[2]);
        b.push_back(p.c[1]);
        b.push_back(p.c[0]);
        b.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < xorStride; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            b.push_back(x < w && opaque[i] ? nearest(colour[i]) : kTransparentIndex);
        }
    }
    PutAndMask(b, opaque, w, h, andStride);
    return b;
}

}  // namespace

Bytes EncodeBmp24(const Canvas& cv, Rgba background)
{
    const int stride = (cv.width * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(stride) * cv.height;
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, 14 + 40 + imageBytes);
    Put32(b, 0);
    Put32(b, 14 + 40);
    PutInfoHeader(b, cv.width, cv.height, 24, imageBytes);
    for (int y = cv.height - 1; y >= 0; --y) {
        for (int x = 0; x < cv.width; ++x) {
            const Rgb8 c = Flatten(cv, x, y, background);
            b.push_back(c.c[2]);
            b.push_back(c.c[1]);
            b.push_back(c.c[0]);
        }
        for (int pad = cv.width * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

Bytes EncodeIco(const std::vector<const Canvas*>& images, Rgba matte)
{
    std::vector<Bytes> encoded;
    for (const Canvas* cv : images) encoded.push_back(EncodeIconImage(*cv, matte));
    Bytes b;
    Put16(b, 0);
    Put16(b, 1);  // icon
    Put16(b, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        b.push_back(static_cast<std::uint8_t>(images[i]->width & 0xFF));  // 256 is written as 0
        b.push_back(static_cast<std::uint8_t>(images[i]->height & 0xFF));
        b.push_back(0);  // colour count: 0 means 256 or more
        b.push_back(0);
        Put16(b, 1);
        Put16(b, 8);
        Put32(b, static_cast<std::uint32_t>(encoded[i].size()));
        Put32(b, offset);
        offset += static_cast<std::uint32_t>(encoded[i].size());
    }
    for (const Bytes& e : encoded) b.insert(b.end(), e.begin(), e.end());
    return b;
}

bool WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace artgen

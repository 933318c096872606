// Little-endian readers for the .bmp and .ico files under test.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace arttest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline unsigned U16(const Bytes& b, size_t at)
{
    return at + 2 <= b.size() ? b[at] | (b[at + 1] << 8) : 0;
}

inline std::uint32_t U32(const Bytes& b, size_t at)
{
    return at + 4 <= b.size() ? U16(b, at) | (static_cast<std::uint32_t>(U16(b, at + 2)) << 16) : 0;
}

inline std::int32_t S32(const Bytes& b, size_t at)
{
    return static_cast<std::int32_t>(U32(b, at));
}

struct Rgb {
    int r, g, b;
};

// Pixel (x, y), y counted from the top, of a 24-bit bottom-up bitmap file.
inline Rgb BmpPixel(const Bytes& f, int x, int y)
{
    const int w = S32(f, 18), h = S32(f, 22);
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    const size_t at = U32(f, 10) + (h - 1 - y) * stride + x * 3;
    return {f[at + 2], f[at + 1], f[at]};
}

// One 8-bit image of an icon file, decoded.
struct IconImage {
    int width = 0;
    int height = 0;  // of the picture, half the header's height
    int bits = 0;
    std::vector<Rgb> palette;
    std::vector<int> index;         // top-down
    std::vector<bool> transparent;  // top-down, from the mask
};

inline IconImage DecodeIconImage(const Bytes& f, size_t at, size_t bytes)
{
    IconImage img;
    if (at + 40 > f.size() || at + bytes > f.size()) return img;
    img.width = S32(f, at + 4);
    img.height = S32(f, at + 8) / 2;
    img.bits = U16(f, at + 14);
    if (img.bits != 8 || img.width <= 0 || img.height <= 0) return img;
    const size_t pal = at + U32(f, at);
    for (int i = 0; i < 256; ++i) img.palette.push_back({f[pal + i * 4 + 2], f[pal + i * 4 + 1], f[pal + i * 4]});
    const size_t xorAt = pal + 1024;
    const size_t xorStride = (img.width + 3) / 4 * 4;
    const size_t andAt = xorAt + xorStride * img.height;
    const size_t andStride = (img.width + 31) / 32 * 4;
    if (andAt + andStride * img.height > f.size()) return img;
    for (int y = 0; y < img.height; ++y) {
        const int row = img.height - 1 - y;
        for (int x = 0; x < img.width; ++x) {
            img.index.push_back(f[xorAt + row * xorStride + x]);
            img.transparent.push_back((f[andAt + row * andStride + x / 8] & (0x80 >> (x % 8))) != 0);
        }
    }
    return img;
}

}  // namespace arttest

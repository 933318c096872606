// The committed art as the resource compiler and the dialogs will see it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "tests/common/ArtReading.h"

namespace {

using namespace arttest;

const std::string kResources = ZENTHAR_RESOURCES_DIR;

struct Entry {
    std::string type;
    std::string file;
};

// id -> type and file, from the ICON and BITMAP statements of art.rc and of the uninstaller's
// uninstaller-art.rc.
std::map<int, Entry> ReadScript()
{
    std::map<int, Entry> out;
    std::ifstream in(kResources + "/art.rc");
    std::ifstream uninstaller(kResources + "/uninstaller-art.rc");
    std::string line;
    while (std::getline(in, line) || std::getline(uninstaller, line)) {
        std::istringstream words(line);
        int id = 0;
        std::string type, file;
        if (!(words >> id >> type >> file)) continue;
        if (file.size() >= 2 && file.front() == '"' && file.back() == '"') file = file.substr(1, file.size() - 2);
        out[id] = {type, file};
    }
    return out;
}

struct BitmapFacts {
    int id, width, height;
};
const BitmapFacts kBitmaps[] = {{149, 260, 267}, {150, 298, 292}, {151, 294, 237},
                                {152, 283, 260}, {153, 302, 299}, {154, 325, 298}};

struct IconFacts {
    int id;
    std::vector<int> sizes;
};
const IconFacts kIcons[] = {{128, {32, 16}}, {145, {32}}, {146, {32}}, {147, {32}}, {148, {32}}, {160, {32, 16}}};

TEST(ArtFiles, ScriptBindsEveryIdToAnExistingFile)
{
    const auto script = ReadScript();
    std::set<int> ids;
    for (const auto& [id, e] : script) ids.insert(id);
    EXPECT_EQ(ids, (std::set<int>{128, 145, 146, 147, 148, 149, 150, 151, 152, 153, 154, 160}));
    for (const auto& icon : kIcons) EXPECT_EQ(script.at(icon.id).type, "ICON") << icon.id;
    for (const auto& bmp : kBitmaps) EXPECT_EQ(script.at(bmp.id).type, "BITMAP") << bmp.id;
    for (const auto& [id, e] : script) EXPECT_FALSE(ReadAll(kResources + "/" + e.file).empty()) << id << " " << e.file;
}

TEST(ArtFiles, BitmapsAre24BitPicturesOfTheirExactSizes)
{
    const auto script = ReadScript();
    for (const auto& facts : kBitmaps) {
        SCOPED_TRACE(facts.id);
        const Bytes f = ReadAll(kResources + "/" + script.at(facts.id).file);
        ASSERT_GE(f.size(), 54u);
        EXPECT_EQ(f[0], 'B');
        EXPECT_EQ(f[1], 'M');
        EXPECT_EQ(U32(f, 2), f.size());
        EXPECT_EQ(U32(f, 14), 40u);
        EXPECT_EQ(S32(f, 18), facts.width);
        EXPECT_EQ(S32(f, 22), facts.height);  // positive: bottom-up, as LoadBitmap expects
        EXPECT_EQ(U16(f, 26), 1u);
        EXPECT_EQ(U16(f, 28), 24u);
        EXPECT_EQ(U32(f, 30), 0u);
        const size_t stride = (static_cast<size_t>(facts.width) * 3 + 3) / 4 * 4;
        ASSERT_EQ(f.size(), U32(f, 10) + stride * facts.height);
        // A light, neutral backdrop at the corners and a real picture inside.
        for (const auto& [x, y] :
             {std::pair{0, 0}, {facts.width - 1, 0}, {0, facts.height - 1}, {facts.width - 1, facts.height - 1}}) {
            const Rgb p = BmpPixel(f, x, y);
            EXPECT_GE(std::min({p.r, p.g, p.b}), 215) << x << "," << y;
            EXPECT_LE(std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}), 12) << x << "," << y;
        }
        std::set<std::tuple<int, int, int>> colours;
        for (int y = 0; y < facts.height; y += 2)
            for (int x = 0; x < facts.width; x += 2) {
                const Rgb p = BmpPixel(f, x, y);
                colours.insert({p.r, p.g, p.b});
            }
        EXPECT_GT(colours.size(), 400u);
    }
}

TEST(ArtFiles, IconsHold256ColourImagesWithAMask)
{
    const auto script = ReadScript();
    for (const auto& facts : kIcons) {
        SCOPED_TRACE(facts.id);
        const Bytes f = ReadAll(kResources + "/" + script.at(facts.id).file);
        ASSERT_GE(f.size(), 6u);
        EXPECT_EQ(U16(f, 0), 0u);
        EXPECT_EQ(U16(f, 2), 1u);
        ASSERT_EQ(U16(f, 4), facts.sizes.size());
        for (size_t i = 0; i < facts.sizes.size(); ++i) {
            const int size = facts.sizes[i];
            const size_t entry = 6 + 16 * i;
            EXPECT_EQ(f[entry], size);
            EXPECT_EQ(f[entry + 1], size);
            EXPECT_EQ(f[entry + 2], 0);  // 256 colours are written as 0
            EXPECT_EQ(U16(f, entry + 4), 1u);
            EXPECT_EQ(U16(f, entry + 6), 8u);
            const size_t bytes = U32(f, entry + 8);
            const size_t at = U32(f, entry + 12);
            ASSERT_LE(at + bytes, f.size());
            const size_t expected = 40 + 1024 + (size + 3) / 4 * 4 * size + (size + 31) / 32 * 4 * size;
            EXPECT_EQ(bytes, expected);
            const IconImage img = DecodeIconImage(f, at, bytes);
            ASSERT_EQ(img.width, size);
            ASSERT_EQ(img.height, size);
            ASSERT_EQ(img.bits, 8);
            ASSERT_EQ(img.index.size(), static_cast<size_t>(size * size));
            // Corners show the button through; the middle is drawn. Transparent pixels must be
            // black in the colour image, or the screen would show through inverted.
            EXPECT_TRUE(img.transparent[0]);
            EXPECT_TRUE(img.transparent[size * size - 1]);
            EXPECT_FALSE(img.transparent[(size / 2) * size + size / 2]);
            std::set<int> used;
            for (size_t p = 0; p < img.index.size(); ++p) {
                if (!img.transparent[p]) {
                    used.insert(img.index[p]);
                    continue;
                }
                const Rgb c = img.palette[img.index[p]];
                EXPECT_EQ(c.r + c.g + c.b, 0) << "pixel " << p;
            }
            EXPECT_GT(used.size(), 8u);
        }
    }
}

}  // namespace

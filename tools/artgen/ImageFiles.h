// Writers for the two file formats the resource compiler takes: 24-bit bottom-up .bmp and
// .ico with 256-colour palette images and a 1-bit transparency mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/artgen/Raster.h"

namespace artgen {

using Bytes = std::vector<std::uint8_t>;

// The canvas flattened onto an opaque background.
Bytes EncodeBmp24(const Canvas& canvas, Rgba background);

// One palette image per canvas, in the given order. Pixels more opaque than the threshold are
// blended onto `matte` (the colour the icon is expected to sit on) and kept; the rest become
// transparent in the mask.
Bytes EncodeIco(const std::vector<const Canvas*>& images, Rgba matte);

bool WriteFile(const std::string& path, const Bytes& bytes);

}  // namespace artgen

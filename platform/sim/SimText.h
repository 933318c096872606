// Text and byte helpers every part of the simulated machine uses: Windows compares names
// without regard to letter case, and the registry stores numbers and strings as bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Constants.h"

namespace zenthar::sim::detail {

using namespace zenthar::platform;

std::string Upper(std::string_view text);
bool SameText(std::string_view a, std::string_view b);                // letter case ignored
bool StartsWithText(std::string_view text, std::string_view prefix);  // letter case ignored
bool ContainsText(std::string_view text, std::string_view part);      // letter case ignored
std::string TextOf(const char* text);                                 // null reads as empty
std::vector<std::string> SplitPath(std::string_view path);            // on '\', empty parts dropped

std::vector<std::uint8_t> Bytes(std::string_view text);
std::vector<std::uint8_t> SzBytes(std::string_view text);  // with its terminating zero
std::vector<std::uint8_t> DwordBytes(Dword value);         // little-endian, as REG_DWORD holds it

}  // namespace zenthar::sim::detail

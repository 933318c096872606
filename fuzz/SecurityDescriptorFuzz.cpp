// Security descriptors as GetFileSecurityA hands them over: any bytes are read without reading
// past them, and what reads as a descriptor of allowed and denied entries is written back with
// the same meaning.
#include <algorithm>
#include <cstdint>

#include "FuzzSupport.h"
#include "platform/SecurityRecords.h"

namespace {

namespace sec = zenthar::platform::security;

constexpr std::size_t kLargestDescriptor = 65536;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > kLargestDescriptor) return 0;
    // A copy of its own size, so that a read past the end is the sanitizer's finding.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const auto read = sec::DecodeSelfRelative(bytes.data(), bytes.size());
    if (!read || !read->daclPresent) return 0;
    const bool plain = std::all_of(read->dacl.begin(), read->dacl.end(), [](const sec::Ace& ace) {
        return ace.type == sec::kAccessAllowed || ace.type == sec::kAccessDenied;
    });
    if (!plain) return 0;
    const sec::Bytes written = sec::EncodeSelfRelative(*read);
    FUZZ_CHECK(!written.empty(), "a descriptor that was read can be written");
    const auto again = sec::DecodeSelfRelative(written.data(), written.size());
    FUZZ_CHECK(again.has_value(), "what was written reads again");
    FUZZ_CHECK(again->owner == read->owner && again->group == read->group, "with the same owner and group");
    FUZZ_CHECK(again->daclProtected == read->daclProtected && again->dacl == read->dacl, "and the same DACL");
    return 0;
}

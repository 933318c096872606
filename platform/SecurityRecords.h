// Security identifiers, access control lists and self-relative security descriptors in
// Windows' own binary layout, read and written without Windows, so that the installer and the
// simulated machine hand each other the same bytes that Windows does.
//
// A SID is kept as its text ("S-1-5-32-544") wherever it is compared or shown; the bytes exist
// only at the platform call. The names here are not Windows' macro names, so that a file may
// include this header beside <windows.h>.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Types.h"

namespace zenthar::platform::security {

using Bytes = std::vector<std::uint8_t>;

// Well-known accounts.
inline constexpr const char* kEveryone = "S-1-1-0";
inline constexpr const char* kCreatorOwner = "S-1-3-0";
inline constexpr const char* kAuthenticatedUsers = "S-1-5-11";
inline constexpr const char* kSystem = "S-1-5-18";
inline constexpr const char* kAdministrators = "S-1-5-32-544";
inline constexpr const char* kUsers = "S-1-5-32-545";
inline constexpr const char* kTrustedInstaller = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

// SECURITY_INFORMATION bits.
inline constexpr Dword kOwnerInformation = 0x1;
inline constexpr Dword kGroupInformation = 0x2;
inline constexpr Dword kDaclInformation = 0x4;
inline constexpr Dword kProtectedDacl = 0x80000000u;
inline constexpr Dword kUnprotectedDacl = 0x20000000u;
inline constexpr Dword kFileObject = 1;  // SE_FILE_OBJECT
// Token calls.
inline constexpr Dword kTokenQuery = 0x8;
inline constexpr Dword kTokenUserClass = 1;  // TokenUser
// The error of a call the system does not have (Windows 9x's security calls).
inline constexpr Dword kErrorCallNotImplemented = 120;

// ACE types and flags.
inline constexpr std::uint8_t kAccessAllowed = 0;
inline constexpr std::uint8_t kAccessDenied = 1;
inline constexpr std::uint8_t kObjectInherit = 0x1;
inline constexpr std::uint8_t kContainerInherit = 0x2;
inline constexpr std::uint8_t kNoPropagateInherit = 0x4;
inline constexpr std::uint8_t kInheritOnly = 0x8;
inline constexpr std::uint8_t kInherited = 0x10;

// Access masks of files and folders.
inline constexpr Dword kFullControl = 0x1F01FF;     // FILE_ALL_ACCESS
inline constexpr Dword kModify = 0x1301BF;          // read, write, execute, delete
inline constexpr Dword kReadAndExecute = 0x1200A9;  // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE
inline constexpr Dword kCreateFoldersAndAppend = 0x4;
inline constexpr Dword kCreateFiles = 0x2;
// Every right that changes a file or folder, its contents, its security or its owner: write
// and append data, extended attributes and attributes, delete (also of children), WRITE_DAC,
// WRITE_OWNER, GENERIC_ALL and GENERIC_WRITE.
inline constexpr Dword kChangingRights = 0x2 | 0x4 | 0x10 | 0x40 | 0x100 | 0x10000 | 0x40000 | 0x80000 | 0x10000000 |
                                         0x40000000;

// The descriptor's control bits.
inline constexpr Word kControlDaclPresent = 0x4;
inline constexpr Word kControlDaclProtected = 0x1000;
inline constexpr Word kControlSelfRelative = 0x8000;

struct Ace {
    std::uint8_t type = kAccessAllowed;
    std::uint8_t flags = 0;
    Dword mask = 0;
    std::string sid;  // as text
    bool operator==(const Ace&) const = default;
};

// TOKEN_USER's record: the SID lies in the same buffer, behind it.
struct SidAndAttributes {
    void* Sid;
    Dword Attributes;
};

struct Descriptor {
    std::string owner;  // empty: none
    std::string group;
    bool daclPresent = false;
    bool daclProtected = false;
    std::vector<Ace> dacl;
};

namespace detail {

inline constexpr std::size_t kMostSubAuthorities = 15;
inline constexpr std::size_t kDescriptorHeaderSize = 20;  // SECURITY_DESCRIPTOR_RELATIVE
inline constexpr std::uint64_t kLargestDword = 0xFFFFFFFFu;
inline constexpr std::uint64_t kLargestAuthority = 0xFFFFFFFFFFFFu;  // six bytes
inline constexpr std::size_t kLongestNumber = 15;                    // decimal digits of six bytes
inline constexpr std::size_t kLargestWord = 0xFFFF;

inline void PutWord(Bytes& out, std::size_t at, Word value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
inline void PutDword(Bytes& out, std::size_t at, Dword value)
{
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline Word GetWord(const std::uint8_t* in)
{
    return static_cast<Word>(in[0] | (in[1] << 8));
}
inline Dword GetDword(const std::uint8_t* in)
{
    return static_cast<Dword>(in[0]) | (static_cast<Dword>(in[1]) << 8) | (static_cast<Dword>(in[2]) << 16) |
           (static_cast<Dword>(in[3]) << 24);
}

}  // namespace detail

// The SID's bytes; empty for text that is no SID.
inline Bytes SidBytes(std::string_view text)
{
    if (text.substr(0, 2) != "S-" && text.substr(0, 2) != "s-") return {};
    std::vector<std::uint64_t> numbers;
    std::size_t at = 2;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('-', at), text.size());
        if (end == at || end - at > detail::kLongestNumber) return {};
        std::uint64_t number = 0;
        for (std::size_t i = at; i < end; ++i) {
            if (text[i] < '0' || text[i] > '9') return {};
            number = number * 10 + static_cast<std::uint64_t>(text[i] - '0');
        }
        numbers.push_back(number);
        at = end + 1;
    }
    // Revision, authority, and up to 15 sub-authorities.
    if (numbers.size() < 2 || numbers.size() > 2 + detail::kMostSubAuthorities || numbers[0] != 1 ||
        numbers[1] > detail::kLargestAuthority)
        return {};
    Bytes out(8 + 4 * (numbers.size() - 2));
    out[0] = 1;
    out[1] = static_cast<std::uint8_t>(numbers.size() - 2);
    for (int i = 0; i < 6; ++i) out[2 + i] = static_cast<std::uint8_t>(numbers[1] >> (8 * (5 - i)));
    for (std::size_t i = 2; i < numbers.size(); ++i) {
        if (numbers[i] > detail::kLargestDword) return {};
        detail::PutDword(out, 8 + 4 * (i - 2), static_cast<Dword>(numbers[i]));
    }
    return out;
}

// The length of the SID at `bytes`, or 0 when `size` bytes hold none.
inline std::size_t SidLength(const std::uint8_t* bytes, std::size_t size)
{
    if (!bytes || size < 8 || bytes[0] != 1 || bytes[1] > detail::kMostSubAuthorities) return 0;
    const std::size_t length = 8 + 4 * std::size_t{bytes[1]};
    return length <= size ? length : 0;
}

// The SID's text; empty when `size` bytes hold no SID.
inline std::string SidText(const std::uint8_t* bytes, std::size_t size)
{
    const std::size_t length = SidLength(bytes, size);
    if (length == 0) return {};
    std::uint64_t authority = 0;
    for (int i = 0; i < 6; ++i) authority = (authority << 8) | bytes[2 + i];
    std::string text = "S-1-" + std::to_string(authority);
    for (std::size_t i = 8; i < length; i += 4) text += "-" + std::to_string(detail::GetDword(bytes + i));
    return text;
}

// An ACL (revision 2) holding the ACEs in order; empty when an ACE's SID is no SID or the
// list is too long for the record.
inline Bytes EncodeAcl(const std::vector<Ace>& aces)
{
    Bytes out(8, 0);
    for (const Ace& ace : aces) {
        const Bytes sid = SidBytes(ace.sid);
        if (sid.empty()) return {};
        const std::size_t at = out.size();
        out.resize(at + 8 + sid.size());
        out[at] = ace.type;
        out[at + 1] = ace.flags;
        detail::PutWord(out, at + 2, static_cast<Word>(8 + sid.size()));
        detail::PutDword(out, at + 4, ace.mask);
        std::copy(sid.begin(), sid.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 8));
    }
    if (out.size() > detail::kLargestWord || aces.size() > detail::kLargestWord) return {};
    out[0] = 2;
    detail::PutWord(out, 2, static_cast<Word>(out.size()));
    detail::PutWord(out, 4, static_cast<Word>(aces.size()));
    return out;
}

// The ACEs of the ACL at `bytes`; nothing when it is malformed. ACE types other than allowed
// and denied are kept with their type and mask, and their SID when they have one there.
inline std::optional<std::vector<Ace>> DecodeAcl(const std::uint8_t* bytes, std::size_t size)
{
    if (!bytes || size < 8) return std::nullopt;
    const std::size_t aclSize = detail::GetWord(bytes + 2);
    const std::size_t count = detail::GetWord(bytes + 4);
    if (aclSize < 8 || aclSize > size) return std::nullopt;
    std::vector<Ace> aces;
    std::size_t at = 8;
    for (std::size_t i = 0; i < count; ++i) {
        if (at + 8 > aclSize) return std::nullopt;
        const std::size_t aceSize = detail::GetWord(bytes + at + 2);
        if (aceSize < 8 || at + aceSize > aclSize) return std::nullopt;
        Ace ace{bytes[at], bytes[at + 1], detail::GetDword(bytes + at + 4), {}};
        if (ace.type == kAccessAllowed || ace.type == kAccessDenied) {
            ace.sid = SidText(bytes + at + 8, aceSize - 8);
            if (ace.sid.empty()) return std::nullopt;
        }
        aces.push_back(std::move(ace));
        at += aceSize;
    }
    return aces;
}

// A self-relative descriptor: the 20-byte header, then the owner, group and DACL; empty when a
// part cannot be written.
inline Bytes EncodeSelfRelative(const Descriptor& descriptor)
{
    Bytes out(detail::kDescriptorHeaderSize, 0);
    out[0] = 1;
    Word control = kControlSelfRelative;
    const auto append = [&out](const Bytes& part, std::size_t offsetField) {
        if (part.empty()) return;
        detail::PutDword(out, offsetField, static_cast<Dword>(out.size()));
        out.insert(out.end(), part.begin(), part.end());
    };
    const Bytes owner = SidBytes(descriptor.owner);
    const Bytes group = SidBytes(descriptor.group);
    if (owner.empty() != descriptor.owner.empty() || group.empty() != descriptor.group.empty()) return {};
    append(owner, 4);
    append(group, 8);
    if (descriptor.daclPresent) {
        control |= kControlDaclPresent;
        if (descriptor.daclProtected) control |= kControlDaclProtected;
        // An ACL that cannot be written must not leave a null DACL behind: that lets everyone in.
        const Bytes dacl = EncodeAcl(descriptor.dacl);
        if (dacl.empty()) return {};
        append(dacl, 16);
    }
    detail::PutWord(out, 2, control);
    return out;
}

inline std::optional<Descriptor> DecodeSelfRelative(const std::uint8_t* bytes, std::size_t size)
{
    if (!bytes || size < detail::kDescriptorHeaderSize || bytes[0] != 1) return std::nullopt;
    const Word control = detail::GetWord(bytes + 2);
    if (!(control & kControlSelfRelative)) return std::nullopt;
    const auto part = [&](std::size_t offsetField) -> std::pair<const std::uint8_t*, std::size_t> {
        const Dword offset = detail::GetDword(bytes + offsetField);
        if (offset == 0 || offset >= size) return {nullptr, 0};
        return {bytes + offset, size - offset};
    };
    Descriptor descriptor;
    if (const auto [owner, left] = part(4); owner) {
        descriptor.owner = SidText(owner, left);
        if (descriptor.owner.empty()) return std::nullopt;
    }
    if (const auto [group, left] = part(8); group) descriptor.group = SidText(group, left);
    descriptor.daclPresent = (control & kControlDaclPresent) != 0;
    descriptor.daclProtected = (control & kControlDaclProtected) != 0;
    const auto [dacl, left] = part(16);
    if (descriptor.daclPresent && dacl) {
        auto aces = DecodeAcl(dacl, left);
        if (!aces) return std::nullopt;
        descriptor.dacl = std::move(*aces);
    } else {
        // No DACL, or a null one, lets everyone do anything: read as that.
        descriptor.dacl = {Ace{kAccessAllowed, 0, kFullControl, kEveryone}};
    }
    return descriptor;
}

}  // namespace zenthar::platform::security

// The printer's initial settings record, stored as its printer data "TTY DeviceConfig".
#pragma once

#include <cstddef>
#include <cstdint>

namespace zenthar {

inline constexpr std::size_t kDeviceConfigRecordSize = 17616;
inline constexpr const char* kDeviceConfigValueName = "TTY DeviceConfig";

// Fills a record that the caller has zeroed: the code page and the fixed defaults the
// driver's plug-ins expect; every byte not named here stays zero.
void FillDeviceConfigRecord(std::uint8_t (&record)[kDeviceConfigRecordSize], std::uint32_t codePage);

}  // namespace zenthar
